#!/bin/bash
# Installs the build tree into a temporary prefix and checks that every installed module,
# platform library and executable finds the platform's shared libraries inside the prefix
# (through their $ORIGIN-relative run paths), never in the build tree.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" > /dev/null
status=0
checked=0
for f in "$prefix"/bin/LAV/*.ax "$prefix"/bin/ffdshow/*.ax "$prefix"/lib/*/libkelvara_platform_*.so \
         "$prefix"/bin/kelvara "$prefix"/bin/kelvara-info; do
    [ -e "$f" ] || continue
    checked=$((checked + 1))
    deps=$(ldd "$f")
    if grep -q "not found" <<< "$deps"; then
        echo "$f: $(grep 'not found' <<< "$deps")"
        status=1
    fi
    if grep "libkelvara_platform" <<< "$deps" | grep -v -q "=> $prefix/"; then
        echo "$f: a platform library outside the prefix: $(grep libkelvara_platform <<< "$deps" | grep -v "=> $prefix/")"
        status=1
    fi
done
for f in LAV/LAVSplitter.ax LAV/LAVAudio.ax LAV/LAVVideo.ax LAV/LBV.reg ffdshow/ffdshow.ax ffdshow/QRX.reg; do
    [ -e "$prefix/bin/$f" ] || { echo "missing: bin/$f"; status=1; }
done
[ "$checked" -ge 11 ] || { echo "only $checked binaries installed"; status=1; }
exit $status
