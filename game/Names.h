#pragma once

// Every name the game looks things up by, spelled once: a misspelt name is a compile error
// instead of an empty group, a default archetype or a missing sprite.

// Archetypes: the component sets entities are made from.
inline constexpr const char* kShipArchetype = "ship";
inline constexpr const char* kVoidrockArchetype = "voidrock";
inline constexpr const char* kBulletArchetype = "bullet";
inline constexpr const char* kExplosionArchetype = "explosion";
inline constexpr const char* kScoreboardArchetype = "scoreboard";
inline constexpr const char* kInstructionsArchetype = "instructions";

// Groups: how systems find their entities. The scoreboard joins none; it is found by its Score.
inline constexpr const char* kShipGroup = "ship";
inline constexpr const char* kVoidrockGroup = "voidrock";
inline constexpr const char* kBulletGroup = "bullet";
inline constexpr const char* kExplosionGroup = "explosion";
inline constexpr const char* kInstructionsGroup = "instructions";

// Sprites of the asset store. The ship has one per state: thrust (none, forwards, backwards)
// by reloading or not.
inline constexpr const char* kShipSprite = "ship";
inline constexpr const char* kShipAccelSprite = "ship_accel";
inline constexpr const char* kShipReverseSprite = "ship_reverse";
inline constexpr const char* kShipReloadingSprite = "ship_reloading";
inline constexpr const char* kShipAccelReloadingSprite = "ship_accel_reloading";
inline constexpr const char* kShipReverseReloadingSprite = "ship_reverse_reloading";
inline constexpr const char* kBigVoidrockSprite = "big";
inline constexpr const char* kMediumVoidrockSprite = "med";
inline constexpr const char* kSmallVoidrockSprite = "small";
inline constexpr const char* kBulletSprite = "bullet";
inline constexpr const char* kExplosionSprite = "explosion";
