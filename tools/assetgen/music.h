// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int kMusicSampleRate = 22050;

// The background music: a calm loop of electric-piano chords, bass and a slow
// tune in A minor. Notes that ring past the end of the loop sound again at its
// beginning, so the loop plays on without a seam.
std::vector<std::int16_t> composeMusic();

// 16-bit PCM mono WAV.
bool writeWav(const std::string& path, const std::vector<std::int16_t>& samples, int sampleRate);
