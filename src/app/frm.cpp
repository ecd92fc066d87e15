// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "app/frm.h"

#include "app/frm_definition.h"
#include "platform/text_file.h"

#include <cmath>

namespace app {

using platform::RGB;

float layoutUnit(double screenWidthTwips) {
    return static_cast<float>(std::floor(screenWidthTwips / 6));
}

std::string withTrailingSeparator(std::string folder) {
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

namespace {

// An ending line is one line of the label; a longer one would only stall drawing it.
constexpr std::size_t MaxEndingLineCharacters = 4096;

} // namespace

Frm::Frm(std::string applicationFolder, double screenWidthTwips, platform::RandomSource& random,
         platform::MciInterface& mci)
    : applicationFolder_(std::move(applicationFolder)), screenWidthTwips_(screenWidthTwips),
      random_(random), form_(frmDefinition()), Opt(form_.optionButtons("Opt")),
      LblStr(form_.labels("LblStr")), ShpStr(form_.shapes("ShpStr")),
      ShpBak(form_.shapes("ShpBak")), Pic(form_.pictureBox("Pic")), E(form_.pictureBox("E")),
      LblSay(form_.label("LblSay")), timOpt(form_.timer("timOpt")), timLbl(form_.timer("timLbl")),
      BgmTim(form_.timer("BgmTim")), scene_(Pic, E), murmurs_(LblSay, random),
      moods_(*this, random), bgm_(mci) {
    ConnectEvents();
}

void Frm::ConnectEvents() {
    form_.onLoad = [this] { Form_Load(); };
    form_.onActivate = [this] { Form_Activate(); };
    Opt.onClick = [this](int index) { Opt_Click(static_cast<std::int16_t>(index)); };
    Pic.onClick = [this] { Pic_Click(); };
    timOpt.onTick = [this] { timOpt_Timer(); };
    timLbl.onTick = [this] { murmurs_.timLbl_Timer(); };
    BgmTim.onTick = [this] { bgm_.BgmTim_Timer(); };
}

void Frm::show() {
    form_.show();
}

// --- Start-up -----------------------------------------------------------------

void Frm::Form_Load() {
    AppDir = withTrailingSeparator(applicationFolder_);
    DatDir = AppDir; // the texts lie beside the program
    ImgDir = AppDir + "img/";
    scene_.setFolder(ImgDir);

    bgm_.start(AppDir + "bgm.wav");

    random_.randomize();

    for (int i = 1; i <= 2; ++i) {
        Opt.load(i);
        Opt(i).setVisible(true);
    }
    Opt(0).setCaption("自分のことを考える");
    Opt(1).setCaption("相手のことを考える");
    Opt(2).setCaption("思い出す");

    for (int i = 1; i <= 2; ++i) {
        ShpStr.load(i);
        LblStr.load(i);
        ShpBak.load(i);
        ShpStr(i).setVisible(true);
        LblStr(i).setVisible(true);
        ShpBak(i).setVisible(true);
    }

    murmurs_.LoadLines(DatDir + "dat.txt");

    ApplyLayout();
}

// The window takes a share of the screen and a 4.5 x 3 grid: the scene on the
// left, the three ways of thinking in the middle, the three bars on the right.
void Frm::ApplyLayout() {
    const float u = layoutUnit(screenWidthTwips_);
    form_.setOuterSize(static_cast<float>(4.5 * u), 2 * u);
    form_.setBackColor(RGB(255, 255, 255));
    form_.setScaleWidth(4.5);
    form_.setScaleHeight(3);

    Pic.setBackColor(form_.backColor());
    Pic.move(0, 0);
    Pic.setWidth(2);
    Pic.setHeight(3);

    LblSay.setCaption("");
    LblSay.move(100, 100);
    LblSay.setForeColor(RGB(100, 0, 0));

    for (int i = 0; i <= Opt.ubound(); ++i) {
        Opt(i).setForeColor(RGB(0, 100, 255));
        Opt(i).setBackColor(form_.backColor());
        Opt(i).move(2, 1 * i, 1, 1);
    }

    LayOutBars();
}

void Frm::LayOutBars() {
    for (int j = 0; j <= 2; ++j) {
        const auto left = static_cast<float>(3 + 0.5 * j);
        ShpBak(j).move(left, 0, 0.5, 3);
        ShpBak(j).setBorderColor(RGB(0, 0, 255));
        LblStr(j).move(left, 0, 0.5);
        LblStr(j).setForeColor(RGB(0, 0, 255));
        form_.bringToFront(LblStr(j));
        ShpStr(j).move(left, 0, 0.5, 0);
        ShpStr(j).setFillColor(RGB(0, 255, 255));
        form_.sendToBack(ShpStr(j));
        form_.describeBar(LblStr(j), ShpStr(j), ShpBak(j), mood::ceilingOf(j));
    }
    LblStr(0).setCaption("怒");
    LblStr(1).setCaption("哀");
    LblStr(2).setCaption("謝りたい");
}

// --- New game -------------------------------------------------------------------

void Frm::Form_Activate() {
    moods_.newGame();
    for (int kind = 0; kind <= 2; ++kind) {
        ShpStr(kind).setHeight(0);
    }
    for (int i = 0; i <= Opt.ubound(); ++i) {
        Opt(i).setEnabled(true);
    }
    LblSay.setCaption("Sorawata");
    timLbl.setEnabled(true);
    timOpt.setEnabled(true);
    Opt_Click(0);
}

void Frm::Pic_Click() {
    Form_Activate();
}

// --- Choices and the thinking tick -----------------------------------------------

// The option is marked also when the program makes the choice, so that the buttons agree.
void Frm::Opt_Click(std::int16_t index) {
    moods_.select(static_cast<std::uint8_t>(index));
    Opt(index).setValue(true);
    scene_.ShowPicture(static_cast<float>(moods_.drawScene()));
}

void Frm::timOpt_Timer() {
    moods_.think();
}

// --- What the moods show ---------------------------------------------------------

// A bar fills its frame from the top edge down, full at the ceiling.
void Frm::barChanged(std::uint8_t kind, std::int16_t value, std::int16_t ceiling) {
    const platform::Shape& frame = ShpBak(kind);
    const auto h = static_cast<float>(frame.height() / ceiling * value);
    ShpStr(kind).move(frame.left(), frame.top(), frame.width(), h);
}

void Frm::captionChanged(const std::string& text) {
    form_.setCaption(text);
}

void Frm::endingReached(std::uint8_t n) {
    ShowEnding(n);
}

// The game stops on the ending's picture; its text starts with a line break and holds the first
// three lines of its file.
void Frm::ShowEnding(std::uint8_t n) {
    timLbl.setEnabled(false);
    timOpt.setEnabled(false);
    scene_.ShowPicture("end" + std::to_string(n));
    std::string text;
    const std::string path = DatDir + "end" + std::to_string(n) + ".txt";
    for (const std::string& line : platform::readFirstLines(path, 3, MaxEndingLineCharacters)) {
        text += "\r\n" + line;
    }
    LblSay.setCaption(text);
}

} // namespace app
