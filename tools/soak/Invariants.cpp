#include "tools/soak/Invariants.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <set>

#include "game/Components.h"
#include "game/Message.h"
#include "game/Playfield.h"
#include "game/Tuning.h"

namespace {

// Ship control caps the speed before drag, the recoil of a shot adds to it after the cap, and
// physics then moves the ship once more before the frame ends.
constexpr float kShipSpeedLimit =
    kMaxSpeedPixelsPerFrame * kDragPerFrame + kRecoilPixelsPerFrame + 1e-3f;
constexpr std::int64_t kGameOverFrames = kGameOverMessage.frames;

bool IsDefault(const Transform& t) {
    return t.x == 0 && t.y == 0 && t.vx == 0 && t.vy == 0 && t.angularVelocity == 0 &&
           t.rotation == 0;
}
bool IsDefault(const SpriteRenderer& s) {
    return s.sprite.empty();
}
bool IsDefault(const Voidrock& v) {
    return v.size == Voidrock{}.size;
}
bool IsDefault(const DestroyTimer& d) {
    return d.frames == kExplosionFrames;
}
bool IsDefault(const TextRenderer& t) {
    return t.text.empty() && t.renderedText.empty() && t.texture == nullptr && t.visible;
}
bool IsDefault(const Score& s) {
    return s.value == 0;
}
bool IsDefault(const InstructionsTimer& i) {
    return i.frames == 0;
}
bool IsDefault(const Ship& s) {
    return s.reloadFrames == 0 && !s.fireHeld;
}

std::string Id(EntityId id) {
    return std::to_string(id);
}

}  // namespace

void Invariants::Fail(const std::string& what) {
    failures.push_back("frame " + std::to_string(frame) + ": " + what);
}

void Invariants::StartGame(std::int64_t texturesMadeBefore, std::int64_t texturesDestroyedBefore) {
    frame = 0;
    hitFrame = 0;
    madeAtStart = texturesMadeBefore;
    destroyedAtStart = texturesDestroyedBefore;
    lastScore = 0;
    explosions.clear();
}

std::vector<std::string> Invariants::AfterFrame(World& world, bool ended, std::int64_t made,
                                                std::int64_t destroyed) {
    ++frame;
    failures.clear();
    CheckIdentifiers(world);
    CheckQueries(world);
    CheckGroups(world);
    CheckArrays(world);
    CheckShip(world);
    CheckScoreAndExplosions(world);
    CheckEnding(world, ended);
    CheckTextTextures(world, made, destroyed);
    return failures;
}

void Invariants::CheckIdentifiers(World& world) {
    std::set<EntityId> free;
    for (EntityId id : world.freeIds) {
        if (!free.insert(id).second) {
            Fail("identifier " + Id(id) + " is free twice");
        }
        if (id < 0 || static_cast<std::size_t>(id) >= world.signatures.size()) {
            Fail("free identifier " + Id(id) + " was never issued");
        } else if (world.signatures[static_cast<std::size_t>(id)].any()) {
            Fail("free identifier " + Id(id) + " keeps signature bits");
        }
    }
    for (std::size_t i = 0; i < world.signatures.size(); ++i) {
        const auto id = static_cast<EntityId>(i);
        if (world.IsLive(id) == free.contains(id)) {
            Fail("identifier " + Id(id) + " is " +
                 (world.IsLive(id) ? "both live and free" : "neither live nor free"));
        }
    }
}

void Invariants::CheckQueries(World& world) {
    for (std::uint32_t q = 0; q < world.queryCount; ++q) {
        std::set<EntityId> expected;
        for (std::size_t i = 0; i < world.signatures.size(); ++i) {
            const auto id = static_cast<EntityId>(i);
            if (world.IsLive(id) && world.Matches(id, static_cast<std::int32_t>(q))) {
                expected.insert(id);
            }
        }
        std::set<EntityId> held;
        for (const Entity& e : world.queryEntities[q]) {
            held.insert(e.id);
            if (e.store != &world.store) {
                Fail("query " + std::to_string(q) + " holds a handle into another store");
            }
        }
        if (held != expected) {
            Fail("query " + std::to_string(q) + " holds " + std::to_string(held.size()) +
                 " entities, " + std::to_string(expected.size()) + " match");
        }
    }
}

void Invariants::CheckGroups(World& world) {
    for (const auto& [name, group] : world.groups) {
        const auto archetype = world.archetypes.find(name);
        EntityId previous = -1;
        std::size_t walked = 0;
        for (const Entity& e : group) {
            ++walked;
            if (e.id <= previous) {
                Fail("group " + name + " is not in ascending order at " + Id(e.id));
            }
            previous = e.id;
            if (!world.IsLive(e.id)) {
                Fail("group " + name + " holds dead entity " + Id(e.id));
            } else if (archetype != world.archetypes.end() &&
                       world.signatures[static_cast<std::size_t>(e.id)] !=
                           world.signatures.kinds[archetype->second]->signature) {
                Fail("group " + name + " holds " + Id(e.id) + " of another archetype");
            }
        }
        // The member count must agree with the members a walk finds.
        if (group.size() != walked) {
            Fail("group " + name + " counts " + std::to_string(group.size()) + " members, " +
                 std::to_string(walked) + " walked");
        }
    }
}

namespace {

template <typename T>
void CheckArray(World& world, const std::function<void(const std::string&)>& fail) {
    const std::uint32_t type = world.store.TypeIndexOf<T>();
    const CompArray<T>& array = world.store.ArrayOf<T>();
    std::set<std::uint32_t> used;
    std::size_t carriers = 0;
    for (std::size_t i = 0; i < world.signatures.size(); ++i) {
        const auto id = static_cast<EntityId>(i);
        const Signature& s = world.signatures[i];
        const bool carries = world.IsLive(id) && type < s.size() && s.test(type);
        if (carries != array.HasRecord(id)) {
            fail("entity " + Id(id) + (carries ? " lacks" : " has a stray") + " record of " +
                 ReadableName<T>());
        }
        if (carries) {
            ++carriers;
            used.insert(array.slotOf[i]);
        }
    }
    if (used.size() != carriers) {
        fail("two entities share a record of " + ReadableName<T>());
    }
    std::set<std::uint32_t> free(array.freeSlots.begin(), array.freeSlots.end());
    if (free.size() != array.freeSlots.size()) {
        fail("a free position of " + ReadableName<T>() + " is listed twice");
    }
    if (array.records.size() != carriers + array.freeSlots.size()) {
        fail(ReadableName<T>() + " has " + std::to_string(array.records.size()) + " records for " +
             std::to_string(carriers) + " carriers and " + std::to_string(array.freeSlots.size()) +
             " free positions");
    }
    for (std::uint32_t slot : free) {
        if (used.contains(slot) || slot >= array.records.size()) {
            fail("free position " + std::to_string(slot) + " of " + ReadableName<T>() +
                 " is in use");
        } else if (!IsDefault(array.records[slot])) {
            fail("free position " + std::to_string(slot) + " of " + ReadableName<T>() +
                 " holds no default");
        }
    }
}

}  // namespace

void Invariants::CheckArrays(World& world) {
    const auto fail = [this](const std::string& what) { Fail(what); };
    CheckArray<Transform>(world, fail);
    CheckArray<SpriteRenderer>(world, fail);
    CheckArray<Voidrock>(world, fail);
    CheckArray<DestroyTimer>(world, fail);
    CheckArray<TextRenderer>(world, fail);
    CheckArray<Score>(world, fail);
    CheckArray<InstructionsTimer>(world, fail);
    CheckArray<Ship>(world, fail);
}

void Invariants::CheckShip(World& world) {
    for (const Entity& ship : world.groups["ship"]) {
        const Transform& t = ship.GetComponent<Transform>();
        if (!std::isfinite(t.x) || !std::isfinite(t.y) || !std::isfinite(t.vx) ||
            !std::isfinite(t.vy)) {
            Fail("the ship's position or velocity is not finite");
            continue;
        }
        const float speed = std::sqrt(t.vx * t.vx + t.vy * t.vy);
        if (speed > kShipSpeedLimit) {
            Fail("the ship flies at " + std::to_string(speed) + " pixels per frame");
        }
        if (t.x < kShipBandPixels.left - kShipSpeedLimit ||
            t.x > kShipBandPixels.right + kShipSpeedLimit ||
            t.y < kShipBandPixels.top - kShipSpeedLimit ||
            t.y > kShipBandPixels.bottom + kShipSpeedLimit) {
            Fail("the ship is outside its band at (" + std::to_string(t.x) + ", " +
                 std::to_string(t.y) + ")");
        }
    }
}

void Invariants::CheckScoreAndExplosions(World& world) {
    // An explosion made in a frame has been counted down once by its end.
    std::map<EntityId, Explosion> now;
    std::int32_t made = 0;
    for (const Entity& e : world.groups["explosion"]) {
        if (!world.IsLive(e.id)) {
            continue;  // reported by the group check
        }
        const std::int32_t frames = e.GetComponent<DestroyTimer>().frames;
        const auto before = explosions.find(e.id);
        // An identifier whose explosion ran out last frame may already carry a new one.
        if (before == explosions.end() || before->second.frames == 0) {
            ++made;
            now[e.id] = {0, frames};
            if (frames != kExplosionFrames - 1) {
                Fail("explosion " + Id(e.id) + " starts with " + std::to_string(frames + 1) +
                     " frames");
            }
        } else {
            now[e.id] = {before->second.age + 1, frames};
            if (frames != before->second.frames - 1) {
                Fail("explosion " + Id(e.id) + " counted from " +
                     std::to_string(before->second.frames) + " to " + std::to_string(frames));
            }
        }
    }
    for (const auto& [id, gone] : explosions) {
        const auto still = now.find(id);
        const bool ended = still == now.end() || still->second.age == 0;
        if (ended && gone.age + 1 != kExplosionFrames) {
            Fail("explosion " + Id(id) + " lived " + std::to_string(gone.age + 1) + " frames");
        }
    }
    explosions = std::move(now);

    for (const Entity& board : *world.GetEntities<Score>()) {
        const std::int32_t score = board.GetComponent<Score>().value;
        if (score != lastScore + made) {
            Fail("the score went from " + std::to_string(lastScore) + " to " +
                 std::to_string(score) + " with " + std::to_string(made) + " explosions");
        }
        lastScore = score;
    }
}

void Invariants::CheckEnding(World& world, bool ended) {
    if (hitFrame == 0 && world.groups["ship"].empty()) {
        hitFrame = frame;
    }
    const bool due = hitFrame != 0 && frame == hitFrame + kGameOverFrames;
    if (ended != due) {
        Fail(ended ? "the scene ended " + std::to_string(frame - hitFrame) +
                         " frames after the ship was hit"
                   : "the scene goes on 1000 frames after the ship was hit");
    }
}

void Invariants::CheckTextTextures(World& world, std::int64_t made, std::int64_t destroyed) {
    std::int64_t held = 0;
    for (const Entity& e : *world.GetEntities<TextRenderer>()) {
        held += e.GetComponent<TextRenderer>().texture != nullptr ? 1 : 0;
    }
    if (made - madeAtStart != destroyed - destroyedAtStart + held) {
        Fail(std::to_string(made - madeAtStart) + " text textures made, " +
             std::to_string(destroyed - destroyedAtStart) + " released, " + std::to_string(held) +
             " held");
    }
}
