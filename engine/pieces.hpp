#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "file_slot.hpp"
#include "settings.hpp"

namespace engine {

// Pieces of m characters that c characters make, the last one taking the rest.
std::int32_t pieceCount(std::int64_t c, std::int32_t m);

// output folder, "/", base name, k, ".txt": nothing trimmed or added.
std::u16string pieceName(std::u16string_view folder, std::u16string_view base, std::int64_t k);

// Appends the pieces of the code page 936 text that bytes hold, m characters
// each (m >= 1), to the numbered files named from the output folder and base
// name that settings give for each piece; each piece is its characters'
// bytes, as decoding, cutting and encoding would give them. Piece 1 is
// written even for an empty text. Throws RunError before writing anything
// when a piece would land in the file `input` (at the latest on its opened
// file) or when the output folder's disk reports too little room for the
// pieces, and at a piece that cannot be written, which is put back as it was.
void writePieces(std::string_view bytes, std::int32_t m, SettingsReader& settings, const FileId& input);

}  // namespace engine
