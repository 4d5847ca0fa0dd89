#include "game/ScoreSystem.h"

#include "support/Gameplay.h"

TEST(Score, TheTextAtTheTopLeftCountsEveryHitOfAFrame) {
    Gameplay g;
    g.Frame();
    EXPECT_EQ(g.Board().GetComponent<TextRenderer>().text, "Score: 0");
    EXPECT_EQ(TransformBits(g.Board().GetComponent<Transform>()), TransformBits({20, 20}));
    for (float x : {300.0f, 600.0f, 1500.0f}) {
        g.Rock(x, 100, kBigVoidrock);
        g.Bullet(x + 5, 100);
    }
    g.Frame();
    EXPECT_EQ(g.Board().GetComponent<TextRenderer>().text, "Score: 3");
}
