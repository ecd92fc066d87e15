#include "app/frm.h"

#include "app/frm_definition.h"

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

Frm::Frm(Surroundings surroundings, platform::RandomSource& random, platform::MciInterface& mci)
    : surroundings_(std::move(surroundings)), random_(random), form_(frmDefinition()),
      Opt(form_.optionButtons("Opt")), LblStr(form_.labels("LblStr")),
      ShpStr(form_.shapes("ShpStr")), ShpBak(form_.shapes("ShpBak")), Pic(form_.pictureBox("Pic")),
      E(form_.pictureBox("E")), LblSay(form_.label("LblSay")), scene_(Pic, E, ImgDir),
      murmurs_(LblSay, random),
      moods_({form_, Opt, ShpStr, ShpBak, LblSay, form_.timer("timOpt"), form_.timer("timLbl")},
             random, scene_, DatDir),
      bgm_(mci) {
    ConnectEvents();
}

void Frm::ConnectEvents() {
    form_.onLoad = [this] { Form_Load(); };
    form_.onActivate = [this] { Form_Activate(); };
    Opt.onClick = [this](int index) { moods_.Opt_Click(static_cast<std::int16_t>(index)); };
    Pic.onClick = [this] { Pic_Click(); };
    form_.timer("timOpt").onTick = [this] { moods_.timOpt_Timer(); };
    form_.timer("timLbl").onTick = [this] { murmurs_.timLbl_Timer(); };
    form_.timer("BgmTim").onTick = [this] { bgm_.BgmTim_Timer(); };
}

void Frm::show() {
    form_.show();
}

// --- Start-up -----------------------------------------------------------------

void Frm::Form_Load() {
    AppDir = withTrailingSeparator(surroundings_.applicationFolder);
    DatDir = AppDir + "";
    ImgDir = AppDir + "img/";

    bgm_.BgmLoop = -1;
    bgm_.BgmOpen(AppDir + "bgm.wav");
    bgm_.BgmPlay();

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
    const float u = layoutUnit(surroundings_.screenWidthTwips);
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
    }
    LblStr(0).setCaption("怒");
    LblStr(1).setCaption("哀");
    LblStr(2).setCaption("謝りたい");
}

// --- New game -------------------------------------------------------------------

void Frm::Form_Activate() {
    for (std::uint8_t kind = 0; kind <= 2; ++kind) {
        moods_.Mood(mood::Player, kind) = 0;
        moods_.Mood(mood::Partner, kind) = 0;
        ShpStr(kind).setHeight(0);
    }
    for (int i = 0; i <= Opt.ubound(); ++i) {
        Opt(i).setEnabled(true);
    }
    LblSay.setCaption("Sorawata");
    form_.timer("timLbl").setEnabled(true);
    form_.timer("timOpt").setEnabled(true);
    moods_.Opt_Click(0);
}

void Frm::Pic_Click() {
    Form_Activate();
}

} // namespace app
