#pragma once

#include <QImage>

// The 32 by 32 window icon: a crimson flower with yellow stamens.
QImage drawIcon();
