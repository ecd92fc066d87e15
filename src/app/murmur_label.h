// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QStringList>
#include <QWidget>
#include <string>

class QLabel;

namespace app {

// LblSay: the murmur, or the ending's text, over the scene. It sizes itself to its text, one line
// for each line of the text, never wrapping, and clicks go through it to the picture. Screen
// readers read its text from an empty QLabel over it, which draws nothing and is named by it.
class MurmurLabel final : public QWidget {
public:
    explicit MurmurLabel(QWidget* parent);

    // Lines are separated by CR LF.
    void setCaption(const std::string& text);
    // The text with its line breaks as line feeds.
    QString text() const { return lines_.join('\n'); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QStringList lines_;
    QLabel* readable_;
};

} // namespace app
