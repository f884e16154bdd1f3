// The two-line console script written for each tag at every tick.
#pragma once

#include <array>
#include <string>
#include <string_view>

// The tags, in the order their scripts are written within a tick.
inline constexpr std::array<std::string_view, 9> Tags = {"sco", "sol", "pyr", "dem", "hev",
                                                         "eng", "med", "sni", "spy"};

// "demo_<tag>.cfg" in the current directory.
std::string ScriptFileName(std::string_view tag);

// Rewrites the tag's script so that the alias autorec starts a recording named after `stamp`
// and the tag. A reader sees the old or the new content, never an empty file; a failure raises
// EInOutError and leaves the old content.
void WriteScript(std::string_view tag, std::string_view stamp);
