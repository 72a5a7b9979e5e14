#pragma once
// The season-file side of the data-entry windows: reading the game on show and rewriting
// parts of its record in place. GUI-free.
#include "GameRecord.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace vexal {

// Offsets of the other factors within a season game record.
inline constexpr std::size_t InjuriesOffset = 76;
inline constexpr std::size_t PsychologicalOffset = 78;
inline constexpr std::size_t SituationalOffset = 80;
inline constexpr std::size_t WeatherOffset = 82;
inline constexpr std::size_t CommentOffset = 84;

// Reads record `record` of a season file. False when the file is missing or the record lies
// outside it.
bool ReadGame(const std::filesystem::path& seasonFile, int32_t record, GameRecord& game);

// Rewrites `length` bytes at `offset` of one record in place, the rest of the record as it
// is on disk. False (nothing written) when the file is missing, the record lies outside
// it or the write fails; `reason` then says why in words a message can show.
bool PatchGameRecord(const std::filesystem::path& seasonFile, int32_t record, std::size_t offset,
                     const uint8_t* bytes, std::size_t length, std::string* reason = nullptr);
bool PutGameFactor(const std::filesystem::path& seasonFile, int32_t record, std::size_t offset, int16_t value,
                   std::string* reason = nullptr);
// The comment as typed (UTF-8), cut or padded with blanks to 75 bytes of ANSI text.
std::array<uint8_t, GameRecord::CommentLength> CommentBytes(const std::string& utf8);
bool PutGameComment(const std::filesystem::path& seasonFile, int32_t record,
                    const std::array<uint8_t, GameRecord::CommentLength>& comment, std::string* reason = nullptr);
// The stored comment as text, all 75 characters, trailing blanks kept.
std::string FullCommentText(const GameRecord& game);

} // namespace vexal
