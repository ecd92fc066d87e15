// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

// The colours the tests know the game's screen by, one source for the unit tests (game_world.h)
// and the end-to-end tests (e2e/lib_pixels.sh): the test pictures' (scenes 0-4, the two endings)
// and the layout's. One a line: SORAWATA_COLOUR(name, red, green, blue).
SORAWATA_COLOUR(scene0, 255, 0, 0)
SORAWATA_COLOUR(scene1, 0, 200, 0)
SORAWATA_COLOUR(scene2, 255, 255, 0)
SORAWATA_COLOUR(scene3, 255, 0, 255)
SORAWATA_COLOUR(scene4, 120, 60, 0)
SORAWATA_COLOUR(end0, 0, 128, 128)
SORAWATA_COLOUR(end1, 128, 128, 255)
SORAWATA_COLOUR(background, 255, 255, 255)
SORAWATA_COLOUR(barFill, 0, 255, 255)
SORAWATA_COLOUR(barFrame, 0, 0, 255)
SORAWATA_COLOUR(murmurText, 100, 0, 0)
SORAWATA_COLOUR(optionText, 0, 100, 255)
