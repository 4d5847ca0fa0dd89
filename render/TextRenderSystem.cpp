#include "render/TextRenderSystem.h"

#include "game/Components.h"
#include "platform/FramePacing.h"
#include "platform/Letterbox.h"
#include "platform/SDLton.h"
#include "render/SpriteCanvas.h"

namespace {
constexpr SDL_Color kTextColour{255, 255, 255, 255};

// A new texture for the text, or null (logged) when it cannot be made. On the software
// renderer it is a streaming texture, whose pixels the sprite canvas can blend itself.
SDL_Texture* RenderText(SDLton& sdl, const std::string& text) {
    SDL_Texture* texture = nullptr;
    SDL_Surface* surface = TTF_RenderText_Blended(sdl.font, text.data(), text.size(), kTextColour);
    if (surface != nullptr) {
        if (DrawsInSoftware(sdl.renderer)) {
            texture = SDL_CreateTexture(sdl.renderer, surface->format, SDL_TEXTUREACCESS_STREAMING,
                                        surface->w, surface->h);
            if (texture != nullptr) {
                SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
                SDL_UpdateTexture(texture, nullptr, surface->pixels, surface->pitch);
            }
        } else {
            texture = SDL_CreateTextureFromSurface(sdl.renderer, surface);
        }
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
    // On the software renderer the sprites were drawn into the sprite canvas's memory: the
    // texts go there too, and it is what the window shows.
    SpriteCanvas* spriteCanvas = SpriteCanvas::Find(sdl->renderer);
    if (spriteCanvas != nullptr && !spriteCanvas->Drawing()) {
        spriteCanvas = nullptr;
    }
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
        if (spriteCanvas != nullptr) {
            spriteCanvas->DrawText(label.texture, where);
        } else {
            SDL_RenderTexture(sdl->renderer, label.texture, nullptr, &where);
        }
    }

    SDL_SetRenderTarget(sdl->renderer, nullptr);
    int windowWidth = 0;
    int windowHeight = 0;
    SDL_GetWindowSize(sdl->window, &windowWidth, &windowHeight);
    const CanvasPlacement placement = FitCanvas(windowWidth, windowHeight);
    const SDL_FRect where{static_cast<float>(placement.x), static_cast<float>(placement.y),
                          static_cast<float>(placement.w), static_cast<float>(placement.h)};
    if (spriteCanvas != nullptr) {
        spriteCanvas->Present(where);
    } else {
        SDL_RenderTexture(sdl->renderer, CanvasTexture(*sdl), nullptr, &where);
    }
    // This paces the frame loop.
    PresentFrame(*sdl);
}
