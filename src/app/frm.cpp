// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "app/frm.h"

#include "app/accessibility.h"
#include "app/units.h"
#include "common/report.h"
#include "files/asset_file.h"
#include "files/pack.h"
#include "os/x11.h"

#include <QEvent>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>
#include <QPointer>

namespace app {

namespace {

const char* const moodNames[] = {"怒", "哀", "謝りたい"};

void setColours(QWidget& widget, const QColor& text, const QColor& background) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::Button, background);
    widget.setPalette(palette);
}

// Read as the PNG it is, by Qt's own reader: told only the name, Qt asks every picture plugin
// whether it reads the file, and so loads them all before the window shows.
QIcon compiledInIcon() {
    QImageReader reader(QStringLiteral(":/icon.png"), "png");
    reader.setAutoDetectImageFormat(false);
    return QIcon(QPixmap::fromImage(reader.read()));
}

} // namespace

Frm::Frm(std::string applicationFolder, double screenWidthTwips, common::RandomSource& random,
         music::MciInterface& mci, files::PictureDecoder& pictures)
    : applicationFolder_(std::move(applicationFolder)), screenWidthTwips_(screenWidthTwips),
      random_(random), pictures_(pictures), Pic(new ScenePicture(this)),
      LblSay(new MurmurLabel(Pic)), optBox_(new QWidget(this)), timOpt(this), timLbl(this),
      BgmTim(this), murmurs_(random), moods_(*this, random), bgm_(mci) {
    installAccessibility();
    // A fixed dialog frame with a close button and no minimise or maximise button.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Sorawata"));
    setAccessibleDescription(QStringLiteral("題名の数は相手の怒、哀、謝りたい"));
    setWindowIcon(compiledInIcon());
    outerSize_ = QSize(twipsToPixels(7815), twipsToPixels(6900)); // until the layout sizes it
    setFixedSize(outerSize_);

    Pic->setObjectName("Pic");
    Pic->setAccessibleName(QStringLiteral("場面"));
    connect(Pic, &QAbstractButton::clicked, this, &Frm::Pic_Click);
    LblSay->setObjectName("LblSay");
    LblSay->move(twipsToPixels(100), twipsToPixels(100));
    optBox_->setObjectName("OptGroup");
    optBox_->setAccessibleName(QStringLiteral("考え方"));
    for (int i = 0; i <= 2; ++i) {
        Opt[i] = new CellRadioButton(optBox_);
        Opt[i]->setAutoFillBackground(true);
        optGroup_.addButton(Opt[i], i);
    }
    Opt[0]->setChecked(true);
    connect(&optGroup_, &QButtonGroup::idClicked, this,
            [this](int index) { Opt_Click(static_cast<std::int16_t>(index)); });
    for (std::uint8_t j = 0; j <= 2; ++j)
        bars_[j] = new MoodBar(QString::fromUtf8(moodNames[j]), mood::ceilingOf(j), this);
    readout_ = new QLabel(this);
    readout_->setAttribute(Qt::WA_TransparentForMouseEvents);
    Pic->setFocus(); // the window opens with the focus on the picture

    // Precise timers never fire early, so a second on screen is a whole second. The music's
    // millisecond poll wakes the thread anyway, so coarse timers would save nothing.
    const auto setUpTimer = [](QTimer& timer, const char* name, int interval) {
        timer.setObjectName(name);
        timer.setInterval(interval);
        timer.setTimerType(Qt::PreciseTimer);
    };
    setUpTimer(timOpt, "timOpt", 300);
    setUpTimer(timLbl, "timLbl", 1000);
    setUpTimer(BgmTim, "BgmTim", 1);
    connect(&timOpt, &QTimer::timeout, this, &Frm::timOpt_Timer);
    connect(&timLbl, &QTimer::timeout, this, &Frm::timLbl_Timer);
    connect(&BgmTim, &QTimer::timeout, this, [this] { bgm_.BgmTim_Timer(); });
    BgmTim.start();
}

// The frame is asked for before the load, so that the window is mapped at its final outer size.
void Frm::showGame() {
    if (!loaded_) {
        loaded_ = true;
        frame_ = os::frameBeforeFirstMap(*this);
        Form_Load();
    }
    os::markSkipTaskbar(*this);
    show();
    os::markSkipTaskbar(*this);
}

void Frm::Form_Load() {
    AppDir = files::withTrailingSeparator(applicationFolder_);
    DatDir = AppDir; // the texts lie beside the program
    ImgDir = AppDir + files::pack::pictures;
    bgm_.start(AppDir + files::pack::music);
    random_.randomize();
    Opt[0]->setText(QStringLiteral("自分のことを考える"));
    Opt[1]->setText(QStringLiteral("相手のことを考える"));
    Opt[2]->setText(QStringLiteral("思い出す"));
    murmurs_.LoadLines(DatDir + files::pack::murmurs);
    ApplyLayout();
}

// The window takes 4.5 by 2 layout units of the screen, a unit being a sixth of its width, all on
// white. Where each control stands follows from the drawing area that this leaves.
void Frm::ApplyLayout() {
    const float u = layoutUnit(screenWidthTwips_);
    // 4.5 * u in double precision, kept in single, as the window has always been sized.
    outerSize_ = QSize(twipsToPixels(static_cast<float>(4.5 * u)), twipsToPixels(2 * u));
    fitDrawingAreaToOuterSize();
    setColours(*this, palette().color(QPalette::WindowText), Qt::white);
    setAutoFillBackground(true);

    LblSay->setCaption("");
    setColours(*LblSay, QColor(100, 0, 0), Qt::white);
    for (CellRadioButton* option : Opt)
        setColours(*option, QColor(0, 100, 255), Qt::white);
}

// The drawing area is a grid 4.5 units across and 3 down: the scene on the left two units, the
// ways of thinking one above the other in the middle unit, and the three bars on the right.
void Frm::placeControls() {
    const Grid grid(size());
    Pic->setGeometry(grid.rect(0, 0, 2, 3));
    optBox_->setGeometry(grid.rect(2, 0, 1, 3));
    for (int i = 0; i <= 2; ++i)
        Opt[i]->setGeometry(grid.rect(2, i, 1, 1).translated(-optBox_->pos()));
    for (int j = 0; j <= 2; ++j)
        bars_[j]->setGeometry(grid.rect(3 + 0.5 * j, 0, 0.5, 3)); // exactly 3, 3.5 and 4
    readout_->setGeometry(0, 0, width(), fontMetrics().height());
}

// The drawing area is what the frame leaves of the outer size.
void Frm::fitDrawingAreaToOuterSize() {
    const QSize inner = outerSize_.shrunkBy(frame_);
    if (inner != size()) {
        setFixedSize(inner);
        placeControls();
    }
}

// Where the window manager did not tell its frame before the window was mapped.
void Frm::frameMayHaveChanged() {
    if (!isVisible())
        return;
    const QRect outer = frameGeometry();
    const QRect inner = geometry();
    const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(),
                         outer.right() - inner.right(), outer.bottom() - inner.bottom());
    if (frame == frame_ || frame.left() < 0 || frame.top() < 0)
        return;
    frame_ = frame;
    fitDrawingAreaToOuterSize();
    os::markSkipTaskbar(*this);
}

bool Frm::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    switch (event->type()) {
    case QEvent::Show:
        activateOnce();
        break;
    case QEvent::WindowActivate:
        activateOnce();
        frameMayHaveChanged();
        break;
    case QEvent::WindowTitleChange:
        nameChanged(*this);
        break;
    case QEvent::Move:
    case QEvent::WindowStateChange:
    case QEvent::Expose:
        frameMayHaveChanged();
        break;
    default:
        break;
    }
    return handled;
}

// The first showing, or the first activation, whichever comes first, starts the first night.
void Frm::activateOnce() {
    if (!activated_) {
        activated_ = true;
        Form_Activate();
    }
}

void Frm::Form_Activate() {
    moods_.newGame();
    for (MoodBar* bar : bars_)
        bar->setValue(0);
    for (CellRadioButton* option : Opt)
        option->setEnabled(true);
    LblSay->setCaption("Sorawata");
    announce(*LblSay);
    timLbl.start(); // a timer enabled again starts its interval afresh
    timOpt.start();
    Opt_Click(0);
}

void Frm::Pic_Click() {
    Form_Activate();
}

// The option is marked also when the program makes the choice, so that the buttons agree.
void Frm::Opt_Click(std::int16_t index) {
    moods_.select(static_cast<std::uint8_t>(index));
    if (index < 0 || index > 2)
        common::fault("there is no option " + std::to_string(index));
    Opt[index]->setChecked(true);
    ShowPicture(files::pack::scenePicture(moods_.drawScene()));
}

// An ending is read out once the tick is over, so that a tick that shows two says only the last.
void Frm::timOpt_Timer() {
    moods_.think();
    if (!timOpt.isActive())
        announce(*LblSay);
}

void Frm::timLbl_Timer() {
    LblSay->setCaption(murmurs_.drawLine());
}

// Reads and decodes the file anew on every call, so a picture replaced while the game runs shows
// as it is now. An empty name paints the last picture again. The decoder works while the window
// goes on, and the picture box shows the picture when it arrives.
void Frm::ShowPicture(const std::string& name) {
    Pic->cls();
    if (!name.empty())
        E = files::RequestPicture(pictures_, ImgDir + name + files::pack::pictureExtension,
                                  Pic->deviceSize(), [box = QPointer(Pic)] {
                                      if (box)
                                          box->update();
                                  });
    Pic->paintPicture(E);
    Pic->setVisible(true);
}

void Frm::barChanged(std::uint8_t kind, std::int16_t value) {
    bars_.at(kind)->setValue(value);
}

void Frm::captionChanged(const std::string& text) {
    setWindowTitle(QString::fromStdString(text));
    QString readout = QStringLiteral("相手");
    for (std::uint8_t kind = 0; kind <= 2; ++kind) {
        readout += QStringLiteral(" %1 %2 / %3")
                       .arg(QString::fromUtf8(moodNames[kind]))
                       .arg(moods_.mood(mood::Partner, kind))
                       .arg(mood::ceilingOf(kind));
    }
    readout_->setAccessibleName(readout);
}

void Frm::endingReached(std::uint8_t n) {
    ShowEnding(n);
}

// The game stops on the ending's picture and text.
void Frm::ShowEnding(std::uint8_t n) {
    timLbl.stop();
    timOpt.stop();
    ShowPicture(files::pack::endingPicture(n));
    LblSay->setCaption(murmur::endingText(DatDir + files::pack::endingText(n)));
}

} // namespace app
