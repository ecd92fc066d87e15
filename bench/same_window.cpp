// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

// The start-up baseline for the game: the least Qt program that shows the game's first
// window, with the same widgets and text at the same places (768x341 on a 1024x768 screen),
// and one of the default scene pictures read from img/ beside the program, as the game's
// first choice shows one. No game, no music, no decoder process.
#include <QApplication>
#include <QImageReader>
#include <QLabel>
#include <QPalette>
#include <QPixmap>
#include <QRadioButton>
#include <QRandomGenerator>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Sorawata"));
    window.setFixedSize(768, 341);
    QPalette white = window.palette();
    white.setColor(QPalette::Window, Qt::white);
    window.setPalette(white);
    window.setAutoFillBackground(true);

    auto* scene = new QLabel(&window);
    scene->setGeometry(0, 0, 341, 341);
    const int n = QRandomGenerator::global()->bounded(5);
    QImageReader reader(QApplication::applicationDirPath() + QStringLiteral("/img/%1.jpg").arg(n));
    reader.setScaledSize(scene->size());
    scene->setPixmap(QPixmap::fromImage(reader.read()));
    auto* murmur = new QLabel(QStringLiteral("Sorawata"), scene);
    murmur->move(7, 7);

    const char* options[] = {"自分のことを考える", "相手のことを考える", "思い出す"};
    for (int i = 0; i < 3; ++i) {
        auto* option = new QRadioButton(QString::fromUtf8(options[i]), &window);
        option->setGeometry(341, 114 * i, 171, 114);
        option->setChecked(i == 0);
    }
    const char* moods[] = {"怒", "哀", "謝りたい"};
    for (int j = 0; j < 3; ++j) {
        auto* bar = new QLabel(QString::fromUtf8(moods[j]), &window);
        bar->setGeometry(512 + 85 * j, 0, 85, 341);
        bar->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
        bar->setFrameShape(QFrame::Box);
        QPalette blue = bar->palette();
        blue.setColor(QPalette::WindowText, Qt::blue);
        bar->setPalette(blue);
    }
    window.show();
    return app.exec();
}
