#pragma once
// File names on the command line, as file managers and desktop launchers pass them
// ("kelvara /home/me/clip.avi", "kelvara clip.avi"): each becomes the switch that opens it,
// "/o=" + name, so that it is opened in its place among the other switches.
//
// An argument is a file name when it is not a switch: it does not start with "/", "+" or "-", or
// it starts with "/" and names an existing file (an absolute path). The argument after
// "--run-script" is the script file and stays as it is.
#include <vector>

#include <QByteArray>

std::vector<QByteArray> OpenBareFiles(const std::vector<QByteArray>& arguments);
