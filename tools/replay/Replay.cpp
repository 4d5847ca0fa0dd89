// voidrocks_replay SCRIPT OUTPUT_DIR
//
// Plays the real game headlessly, one frame at a time, with the keys that SCRIPT holds down,
// and saves the canvas of chosen frames as PNG files in OUTPUT_DIR. The file format is in
// README.md next to this file. Runs from the directory that holds Assets/.

#include <SDL3/SDL.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "driver/SteppedGame.h"
#include "game/Components.h"
#include "game/Message.h"
#include "game/Names.h"

namespace {

// Without an end line, a game that somehow never ends is cut off here.
constexpr std::int64_t kDefaultLastFrame = 1'000'000;

struct HeldKeys {
    std::int64_t from = 0;
    std::int64_t to = 0;
    std::vector<SDL_Scancode> keys;
};

struct Script {
    std::vector<HeldKeys> held;
    // Frame to file name.
    std::map<std::int64_t, std::string> shots;
    std::optional<std::int64_t> end;
};

const std::map<std::string, SDL_Scancode>& KeyNames() {
    static const std::map<std::string, SDL_Scancode> names{
        {"up", SDL_SCANCODE_UP},       {"down", SDL_SCANCODE_DOWN}, {"left", SDL_SCANCODE_LEFT},
        {"right", SDL_SCANCODE_RIGHT}, {"w", SDL_SCANCODE_W},       {"a", SDL_SCANCODE_A},
        {"s", SDL_SCANCODE_S},         {"d", SDL_SCANCODE_D},       {"space", SDL_SCANCODE_SPACE},
    };
    return names;
}

std::int64_t ParseFrame(const std::string& text, const std::string& where) {
    std::size_t used = 0;
    std::int64_t frame = -1;
    try {
        frame = std::stoll(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used != text.size() || frame < 1) {
        throw std::runtime_error(where + ": not a frame number (1 or more): \"" + text + "\"");
    }
    return frame;
}

Script ReadScript(const std::string& path) {
    std::ifstream in(path);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    Script script;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const std::string where = path + ":" + std::to_string(number);
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        std::string first;
        if (!(words >> first)) {
            continue;
        }
        if (first == "shot") {
            std::string frame;
            std::string name;
            if (!(words >> frame)) {
                throw std::runtime_error(where + ": shot needs a frame");
            }
            const std::int64_t n = ParseFrame(frame, where);
            if (!(words >> name)) {
                name = "frame-" + std::to_string(n) + ".png";
            }
            script.shots[n] = name;
        } else if (first == "end") {
            std::string frame;
            if (!(words >> frame)) {
                throw std::runtime_error(where + ": end needs a frame");
            }
            script.end = ParseFrame(frame, where);
        } else {
            HeldKeys held;
            const std::size_t dash = first.find('-');
            held.from = ParseFrame(first.substr(0, dash), where);
            held.to =
                dash == std::string::npos ? held.from : ParseFrame(first.substr(dash + 1), where);
            if (held.to < held.from) {
                throw std::runtime_error(where + ": range ends before it starts");
            }
            std::string key;
            while (words >> key) {
                auto it = KeyNames().find(key);
                if (it == KeyNames().end()) {
                    throw std::runtime_error(where + ": unknown key \"" + key + "\"");
                }
                held.keys.push_back(it->second);
            }
            if (held.keys.empty()) {
                throw std::runtime_error(where + ": a frame range needs at least one key");
            }
            script.held.push_back(std::move(held));
        }
    }
    return script;
}

std::int32_t ScoreOf(SteppedGame& game) {
    std::int32_t score = 0;
    for (const Entity& e : *game.GameScene().world.GetEntities<Score>()) {
        score = e.GetComponent<Score>().value;
    }
    return score;
}

bool GameOverShown(SteppedGame& game) {
    for (const Entity& e : game.GameScene().world.groups[kInstructionsGroup]) {
        if (e.GetComponent<TextRenderer>().text == kGameOverMessage.text) {
            return true;
        }
    }
    return false;
}

int Replay(const std::string& scriptPath, const std::filesystem::path& outputDir) {
    const Script script = ReadScript(scriptPath);
    std::filesystem::create_directories(outputDir);
    // Headless unless the caller chose a video driver.
    SDL_SetHintWithPriority(SDL_HINT_VIDEO_DRIVER, "dummy", SDL_HINT_DEFAULT);
    SteppedGame game;
    const std::int64_t last = script.end.value_or(kDefaultLastFrame);
    std::optional<std::int64_t> gameOver;
    bool running = true;
    while (running && game.frame < last) {
        const std::int64_t frame = game.frame + 1;
        game.keys.fill(false);
        for (const HeldKeys& held : script.held) {
            if (held.from <= frame && frame <= held.to) {
                for (SDL_Scancode key : held.keys) {
                    game.keys[key] = true;
                }
            }
        }
        running = game.Step();
        if (!gameOver && GameOverShown(game)) {
            gameOver = frame;
        }
        if (auto shot = script.shots.find(frame); shot != script.shots.end()) {
            const std::filesystem::path file = outputDir / shot->second;
            if (!game.SaveCanvas(file.string())) {
                std::cerr << "cannot save " << file << ": " << SDL_GetError() << "\n";
                return 1;
            }
            std::cout << "frame " << frame << " saved as " << file.string() << "\n";
        }
    }
    for (const auto& [frame, name] : script.shots) {
        if (frame > game.frame) {
            std::cerr << "not saved, the run stopped before frame " << frame << ": " << name
                      << "\n";
        }
    }
    if (gameOver) {
        std::cout << "GAME OVER in frame " << *gameOver << "\n";
    }
    if (running) {
        std::cout << "stopped after frame " << game.frame << ", the game still running\n";
    } else {
        std::cout << "the game ended in frame " << game.frame << "\n";
    }
    std::cout << "score " << ScoreOf(game) << "\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: " << argv[0] << " SCRIPT OUTPUT_DIR\n";
        return 2;
    }
    try {
        return Replay(argv[1], argv[2]);
    } catch (const std::exception& error) {
        std::cerr << error.what() << "\n";
        return 1;
    }
}
