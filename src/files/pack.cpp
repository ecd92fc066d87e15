// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "files/pack.h"

namespace files::pack {

std::string endingText(int n) {
    return "end" + std::to_string(n) + ".txt";
}

std::string scenePicture(int n) {
    return std::to_string(n);
}

std::string endingPicture(int n) {
    return "end" + std::to_string(n);
}

} // namespace files::pack
