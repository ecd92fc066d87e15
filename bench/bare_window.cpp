// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

// The start-up baseline for the game: a plain Qt window of the game's size
// (768x341 on a 1024x768 screen) showing the three option texts in one label.
#include <QApplication>
#include <QLabel>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLabel window(QStringLiteral("自分のことを考える\n相手のことを考える\n思い出す"));
    window.setWindowTitle(QStringLiteral("Sorawata"));
    window.setFixedSize(768, 341);
    window.show();
    return app.exec();
}
