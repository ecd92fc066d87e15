// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QImage>

// The opening picture compiled into the game, and the scenes of that night
// that the game shows from its img folder.
QImage drawOpening();
QImage drawDarkWindow();
QImage drawSilentPhone();
QImage drawTwoCups();
QImage drawClosedDoor();
QImage drawBlanketOnSofa();
QImage drawReachingForPhone();
QImage drawDoorOpening();
