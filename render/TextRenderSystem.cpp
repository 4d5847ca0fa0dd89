#include "render/TextRenderSystem.h"

#include <cmath>

#include "game/Components.h"
#include "platform/FramePacing.h"
#include "platform/Letterbox.h"
#include "platform/SDLton.h"
#include "render/SpriteCanvas.h"

namespace {
constexpr SDL_Color kTextColour{255, 255, 255, 255};

// A new texture for the text, or null (logged) when it cannot be made.
SDL_Texture* RenderText(SDLton& sdl, const std::string& text) {
    SDL_Texture* texture = nullptr;
    SDL_Surface* surface = TTF_RenderText_Blended(sdl.font, text.data(), text.size(), kTextColour);
    if (surface != nullptr) {
        texture = SDL_CreateTextureFromSurface(sdl.renderer, surface);
        SDL_DestroySurface(surface);
    }
    if (texture == nullptr) {
        SDL_Log("Couldn't create text: %s\n", SDL_GetError());
    }
    return texture;
}
}  // namespace

void TextRenderSystem::Update() {
    SDLton* sdl = GetSingleton<SDLton>();
    // Texts cover sprites there; it is told where, to put them back next frame.
    SpriteCanvas* spriteCanvas = SpriteCanvas::Find(sdl->renderer);
    for (const Entity& e : *world->GetEntities<TextRenderer>()) {
        TextRenderer& label = e.GetComponent<TextRenderer>();
        if (!label.visible) {
            continue;
        }
        // Rendering with the font is the expensive step: only when the text has changed.
        if (label.text != label.renderedText) {
            if (label.texture != nullptr) {
                SDL_DestroyTexture(label.texture);
                label.texture = nullptr;
            }
            // An empty text has nothing to draw; the font library would report it as an error.
            if (!label.text.empty()) {
                label.texture = RenderText(*sdl, label.text);
            }
            label.renderedText = label.text;
        }
        if (label.texture == nullptr) {
            continue;
        }
        const Transform& t = e.GetComponent<Transform>();
        SDL_FRect where{t.x, t.y, 0, 0};
        SDL_GetTextureSize(label.texture, &where.w, &where.h);
        SDL_RenderTexture(sdl->renderer, label.texture, nullptr, &where);
        if (spriteCanvas != nullptr) {
            spriteCanvas->DrewOver(SDL_Rect{static_cast<int>(std::floor(where.x)),
                                            static_cast<int>(std::floor(where.y)),
                                            static_cast<int>(std::ceil(where.w)) + 1,
                                            static_cast<int>(std::ceil(where.h)) + 1});
        }
    }

    SDL_SetRenderTarget(sdl->renderer, nullptr);
    int windowWidth = 0;
    int windowHeight = 0;
    SDL_GetWindowSize(sdl->window, &windowWidth, &windowHeight);
    const CanvasPlacement placement = FitCanvas(windowWidth, windowHeight);
    const SDL_FRect where{static_cast<float>(placement.x), static_cast<float>(placement.y),
                          static_cast<float>(placement.w), static_cast<float>(placement.h)};
    SDL_RenderTexture(sdl->renderer, sdl->target, nullptr, &where);
    // This paces the frame loop.
    PresentFrame(*sdl);
}
