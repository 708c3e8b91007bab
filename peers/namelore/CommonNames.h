#pragma once

// Names common in Japan today that SKK's name dictionary lacks: surnames in the traditional forms
// of 高 and 崎 that many families register (髙橋, 山﨑), a few well-known rare surnames, and given
// names among the most chosen of recent years. Added after the dictionary's own names of the same
// reading, never twice.

#include "peers/namelore/NameSieve.h"

namespace namelore {

struct TCommonName
{
    const char* Reading; // UTF-8 hiragana
    const char* Word;    // UTF-8
    unsigned Kinds;
};

inline constexpr TCommonName CommonNames[] = {
    {"たかはし", "髙橋", kbFamily},   {"たかぎ", "髙木", kbFamily},       {"たかだ", "髙田", kbFamily},
    {"たかの", "髙野", kbFamily},     {"たかやま", "髙山", kbFamily},     {"たかはま", "髙濱", kbFamily},
    {"たかせ", "髙瀬", kbFamily},     {"たかしま", "髙島", kbFamily},     {"やまさき", "山﨑", kbFamily},
    {"やまざき", "山﨑", kbFamily},   {"みやざき", "宮﨑", kbFamily},     {"かわさき", "川﨑", kbFamily},
    {"おかざき", "岡﨑", kbFamily},   {"しまざき", "島﨑", kbFamily},     {"ながさき", "長﨑", kbFamily},
    {"さきやま", "﨑山", kbFamily},   {"いしざき", "石﨑", kbFamily},     {"のざき", "野﨑", kbFamily},
    {"たかなし", "小鳥遊", kbFamily}, {"わたぬき", "四月一日", kbFamily}, {"ひまり", "ひまり", kbGiven},
    {"ひまり", "陽葵", kbGiven},      {"ひな", "ひな", kbGiven},          {"ゆい", "ゆい", kbGiven},
    {"ほのか", "ほのか", kbGiven},    {"ゆいと", "結翔", kbGiven},        {"そうた", "蒼大", kbGiven},
    {"はるき", "陽輝", kbGiven},      {"つむぎ", "紬", kbGiven},          {"ゆあ", "結愛", kbGiven},
    {"ゆめ", "結愛", kbGiven},        {"えま", "恵茉", kbGiven},          {"いちか", "一華", kbGiven},
    {"さな", "紗菜", kbGiven},        {"ゆな", "結菜", kbGiven},          {"ゆいな", "結菜", kbGiven},
    {"こはる", "心春", kbGiven},      {"ひなた", "陽向", kbGiven},        {"ゆづき", "結月", kbGiven},
    {"かんな", "環奈", kbGiven},      {"そら", "蒼空", kbGiven},          {"はるま", "陽真", kbGiven},
    {"そうま", "颯真", kbGiven},      {"はやて", "颯", kbGiven},          {"あおと", "碧斗", kbGiven},
    {"みなと", "湊斗", kbGiven},
};

} // namespace namelore
