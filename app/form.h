#pragma once

// The generated form of the main window, for code outside the window library
// (tests, tools): the window library exports the folder uic writes it to.
#include "ui_mainwindow.h"
