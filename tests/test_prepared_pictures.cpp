#include "game_world.h"
#include "platform/prepared_pictures.h"

#include <QPainter>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

// Moves a file's modification time on, so that a rewrite of the same size shows as a change
// however coarse the file system's clock.
void touchLater(const std::string& path) {
    std::filesystem::last_write_time(path, std::filesystem::last_write_time(path) +
                                               std::chrono::seconds(2));
}

// The colour in the middle of `picture` drawn whole onto a small canvas.
QColor drawnColour(const platform::Picture& picture) {
    QImage canvas(40, 30, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    picture.draw(painter, QRectF(0, 0, 40, 30), QRectF(QPointF(0, 0), picture.size()));
    painter.end();
    return canvas.pixelColor(20, 15);
}

struct PreparedScenes : testing::Test {
    PreparedScenes() : game(withStandardSet(assets), {}) {}

    static const AssetFolder& withStandardSet(const AssetFolder& folder) {
        folder.writeStandardSet();
        return folder;
    }

    platform::PictureBox& pic() { return game.frm.form().pictureBox("Pic"); }

    AssetFolder assets;
    LoadedGame game;
};

} // namespace

// A prepared picture is already decoded at the box's device size and keeps its own size.
TEST_F(PreparedScenes, AreDecodedForTheBoxAhead) {
    const std::string path = assets.writeSolidPicture("big", Qt::red, QSize(4000, 3000));
    platform::PreparedPictures prepared(pic(), {path});
    const platform::Picture picture = prepared.load(path);
    EXPECT_EQ(picture.size(), QSize(4000, 3000));
    EXPECT_EQ(picture.decodedSize(), pic().deviceSize());
    EXPECT_TRUE(near(drawnColour(picture), Qt::red));
}

// One about the box's size keeps only its file's bytes until it is drawn: memory, not time.
TEST_F(PreparedScenes, SmallPictureIsNotKeptDecoded) {
    const std::string path = assets.writeSolidPicture("small", Qt::red, QSize(300, 300));
    platform::PreparedPictures prepared(pic(), {path});
    const platform::Picture picture = prepared.load(path);
    EXPECT_TRUE(picture.decodedSize().isEmpty());
    EXPECT_TRUE(near(drawnColour(picture), Qt::red));
}

// Whichever order they are asked for, before or after the worker reached them, each path gives
// its own picture; pictures handed out stay good after the preparation is gone.
TEST_F(PreparedScenes, EachPathGivesItsOwnPictureInAnyOrder) {
    std::vector<std::string> paths;
    std::vector<QColor> colours;
    for (int i = 0; i < 8; ++i) {
        colours.push_back(QColor::fromHsv(i * 40, 255, 220));
        paths.push_back(
            assets.writeSolidPicture("s" + std::to_string(i), colours.back(), QSize(2400, 1600)));
    }
    std::vector<platform::Picture> loaded;
    {
        platform::PreparedPictures prepared(pic(), paths);
        for (int i = 7; i >= 4; --i)
            loaded.push_back(prepared.load(paths[static_cast<std::size_t>(i)]));
    }
    for (std::size_t k = 0; k < loaded.size(); ++k)
        EXPECT_TRUE(near(drawnColour(loaded[k]), colours[7 - k])) << k;
}

// A scene replaced by the player after it was prepared shows as it is now.
TEST_F(PreparedScenes, ReplacedFileIsReadAgain) {
    const std::string path = assets.writeSolidPicture("2", Qt::red);
    platform::PreparedPictures prepared(pic(), {path});
    EXPECT_TRUE(near(drawnColour(prepared.load(path)), Qt::red));
    touchLater(assets.writeSolidPicture("2", Qt::blue));
    EXPECT_TRUE(near(drawnColour(prepared.load(path)), Qt::blue));
}

// A box that has grown since (another screen, another scale) gets the picture at its new size,
// not the prepared one stretched.
TEST_F(PreparedScenes, ResizedBoxDecodesAnew) {
    const std::string path = assets.writeSolidPicture("big", Qt::green, QSize(4000, 3000));
    platform::PreparedPictures prepared(pic(), {path});
    prepared.load(path);
    pic().setWidth(pic().width() * 2);
    const platform::Picture picture = prepared.load(path);
    QImage canvas(pic().deviceSize(), QImage::Format_RGB32);
    QPainter painter(&canvas);
    picture.draw(painter, QRectF(QPointF(0, 0), canvas.size()),
                 QRectF(QPointF(0, 0), picture.size()));
    EXPECT_EQ(picture.decodedSize(), pic().deviceSize());
}

// A missing scene is an empty picture, reported once however often it is asked for.
TEST_F(PreparedScenes, MissingFileIsEmptyAndReportedOnce) {
    const std::string path = assets.path() + "/img/none.jpg";
    testing::internal::CaptureStderr();
    {
        platform::PreparedPictures prepared(pic(), {path});
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(prepared.load(path).isEmpty());
    }
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
    EXPECT_NE(errors.find("none.jpg"), std::string::npos);
}

// The game prepares its scenes at start-up and still shows the file as it is when chosen.
TEST(ScenePictures, GameShowsSceneChangedAfterStartUp) {
    AssetFolder assets;
    assets.writeStandardSet();
    LoadedGame game(assets, {(3 + 0.5) / 5});
    touchLater(assets.writeSolidPicture("3", Qt::cyan));
    game.frm.moods().Opt_Click(1);
    EXPECT_TRUE(near(sceneColour(game.frm), Qt::cyan));
}
