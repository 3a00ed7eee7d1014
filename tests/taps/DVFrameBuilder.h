#pragma once
// Builds DV frames byte by byte for tests and fuzz seeds: every DIF sequence gets the header,
// VAUX and AAUX packs of a complete frame, and the time code and recording date packs can be
// set, changed or removed per sequence.
#include "taps/uDVData.h"

#include <cstdint>
#include <functional>
#include <vector>

class TDVFrameBuilder {
public:
    explicit TDVFrameBuilder(uint8_t system) : FSystem(system) {
        Bytes.assign(system == tvPal ? DVFrameSize625 : DVFrameSize525, 0xFF);
        for (int n = 0; n < Sequences(); ++n)
            MakeComplete(n);
    }

    std::vector<uint8_t> Bytes;

    int Sequences() const { return int(Bytes.size() / DIFSequenceSize); }
    uint8_t* Seq(int n) { return Bytes.data() + size_t(n) * DIFSequenceSize; }
    void ForEach(const std::function<void(int)>& f) {
        for (int n = 0; n < Sequences(); ++n)
            f(n);
    }

    static uint8_t Bcd(int v) { return uint8_t(((v / 10) << 4) | (v % 10)); }

    void SetTimecodeBytes(int n, uint8_t pc1, uint8_t pc2, uint8_t pc3, uint8_t pc4,
                          uint8_t header0 = 0x13, uint8_t header1 = 0x13) {
        uint8_t* s = Seq(n);
        s[110] = header0;
        s[111] = pc1;
        s[112] = pc2;
        s[113] = pc3;
        s[114] = pc4;
        s[190] = header1;
    }
    void SetTimecode(int h, int m, int s, int f) {
        ForEach([&](int n) { SetTimecodeBytes(n, Bcd(f), Bcd(s), Bcd(m), Bcd(h)); });
    }
    void RemoveTimecode() {
        ForEach([&](int n) { Seq(n)[110] = Seq(n)[190] = 0xFF; });
    }

    void SetDateBytes(int n, uint8_t day, uint8_t month, uint8_t year, uint8_t sec, uint8_t min,
                      uint8_t hour, uint8_t dateHeader = 0x62, uint8_t timeHeader = 0x63) {
        uint8_t* s = Seq(n);
        s[458] = dateHeader;
        s[459] = 0xFF;
        s[460] = day;
        s[461] = month;
        s[462] = year;
        s[463] = timeHeader;
        s[464] = 0xFF;
        s[465] = sec;
        s[466] = min;
        s[467] = hour;
    }
    void SetDate(int y, int mo, int d, int h, int mi, int s) {
        ForEach([&](int n) {
            SetDateBytes(n, uint8_t(0xC0 | Bcd(d)), Bcd(mo), Bcd(y % 100), uint8_t(0x80 | Bcd(s)),
                         uint8_t(0x80 | Bcd(mi)), uint8_t(0xC0 | Bcd(h)));
        });
    }
    void RemoveDate() {
        ForEach([&](int n) { Seq(n)[458] = Seq(n)[463] = 0xFF; });
    }

    // DISP of the VAUX source control pack and AP3 of the header block, in every sequence.
    void SetAspect(uint8_t disp, uint8_t ap3) {
        ForEach([&](int n) {
            Seq(n)[455] = uint8_t((Seq(n)[455] & 0xF8) | disp);
            Seq(n)[7] = uint8_t((Seq(n)[7] & 0xF8) | ap3);
        });
    }
    // PC4 of the AAUX source pack of every sequence.
    void SetAudioPC4(uint8_t pc4) {
        ForEach([&](int n) {
            Seq(n)[4327] = pc4;
            Seq(n)[487] = pc4;
        });
    }

private:
    void MakeComplete(int n) {
        uint8_t* s = Seq(n);
        s[0] = 0x1F;
        s[1] = uint8_t(n << 4 | 0x07);
        s[2] = 0x00;
        s[3] = FSystem == tvPal ? 0xBF : 0x3F;
        s[4] = 0x68;
        s[5] = 0x78;
        s[6] = 0x78;
        s[7] = 0x78;
        // VAUX source and source control packs where a complete frame has them.
        const bool even = n % 2 == 0;
        s[even ? 448 : 243] = 0x60;
        s[even ? 453 : 248] = 0x61;
        s[453] = 0x61; // the 16:9 rule looks here in every sequence
        s[455] = 0xC8;
        // AAUX source pack (48 kHz, 16 bits) and the source control pack 1280 bytes later.
        const size_t aaux = even ? 4323 : 483;
        s[aaux] = 0x50;
        s[aaux + 4] = 0x80;
        s[aaux + 1280] = 0x51;
        s[4323] = 0x50;
        s[4327] = 0x80;
        SetTimecodeBytes(n, 0x00, 0x80, 0x80, 0xC0);
        SetDateBytes(n, 0xC1, 0x01, 0x05, 0x80, 0x80, 0xC0); // 2005-01-01 00:00:00
    }

    uint8_t FSystem;
};
