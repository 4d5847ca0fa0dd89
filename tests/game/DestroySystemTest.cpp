#include "game/DestroySystem.h"

#include "support/Gameplay.h"

TEST(TimedDestruction, AHitsExplosionIsDrawnInTwentyFramesWhereTheVoidrockWas) {
    Gameplay g;
    g.Rock(200, 150, kMediumVoidrock);
    g.Bullet(205, 150);
    std::vector<int> drawn;  // what is left after a frame is what its end draws
    for (int frame = 1; frame <= 26; ++frame) {
        g.Frame();
        for (const Entity& e : g.Of("explosion")) {
            drawn.push_back(frame);
            EXPECT_EQ(TransformBits(e.GetComponent<Transform>()), TransformBits({200, 150}));
        }
    }
    ASSERT_EQ(drawn.size(), 20u);
    EXPECT_EQ(drawn.front(), 1);  // made in frame 1
}
