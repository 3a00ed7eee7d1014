#pragma once
// The two pictures the video manager shows in place of the video, 192 x 192 on plain blue:
// "NOVIDEO", three audio/video cinch plugs (yellow, white, red), and "BADVIDEO", a camcorder
// crossed out by a red prohibition sign. Drawn once, the first time they are asked for.
//
// Thread contract: GUI thread (they are drawn with the toolkit's painter).
#include <QImage>

const QImage& NoVideoPicture();
const QImage& BadVideoPicture();
