// The real game with a crowd of still voidrocks on the canvas from its first frame, for
// measuring how drawing scales. A developer tool: the player's executable never does this.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/VoidrocksGame.h"
#include "app/VoidrocksScene.h"
#include "game/EntityCreator.h"
#include "game/Playfield.h"
#include "platform/SDLton.h"

namespace {

constexpr float kShipX = kShipStartXPixels;
constexpr float kShipY = kShipStartYPixels;
// Nothing is placed this near the ship, so the crowd never touches it.
constexpr float kClearPixels = 320.0f;
constexpr int kCanvasMarginPixels = 96;

int crowdSize = 0;

class CrowdScene : public VoidrocksScene {
  public:
    void Setup() override {
        VoidrocksScene::Setup();
        EntityCreator* creator = GetSceneSingleton<EntityCreator>();
        for (int placed = 0; placed < crowdSize;) {
            const float x = static_cast<float>(
                kCanvasMarginPixels + std::rand() % (kCanvasWidth - 2 * kCanvasMarginPixels));
            const float y = static_cast<float>(
                kCanvasMarginPixels + std::rand() % (kCanvasHeight - 2 * kCanvasMarginPixels));
            if ((x - kShipX) * (x - kShipX) + (y - kShipY) * (y - kShipY) <
                kClearPixels * kClearPixels) {
                continue;
            }
            creator->CreateVoidrock(x, y, 0.0f, 0.0f, placed % 3);
            ++placed;
        }
    }
};

class CrowdGame : public VoidrocksGame {
  public:
    void Init() override {
        VoidrocksGame::Init();
        AddScene<CrowdScene>(kVoidrocksSceneName);
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s VOIDROCKS\n", argv[0]);
        return 2;
    }
    crowdSize = std::stoi(argv[1]);
    CrowdGame game;
    try {
        game.Run(kVoidrocksSceneName);
    } catch (const PlatformError& error) {
        std::fprintf(stderr, "cannot start: %s\n", error.what());
        return 1;
    }
    return 0;
}
