#define SDL_MAIN_HANDLED
#include <SDL3/SDL_main.h>

#include "app/VoidrocksGame.h"

namespace {
int RealMain(int, char**) {
    return RunVoidrocks();
}
}  // namespace

int main() {
    return SDL_RunApp(0, nullptr, RealMain, nullptr);
}
