#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Reads an asset file whole into `bytes`: a regular file of at most maxBytes. A directory or a
// named pipe in its place is refused before it is opened, since opening a pipe waits for a
// writer that never comes. False with the reason as SDL's error.
bool ReadAssetFile(const std::string& path, std::size_t maxBytes, std::vector<std::uint8_t>& bytes);
