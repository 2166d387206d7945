// The tables, fields and placeholders of the preset definitions.
#pragma once

namespace zc::tables {

inline constexpr const char* kSourceDefs = "Source_DEFS";
inline constexpr const char* kSourcePresetDefs = "Source_PRESET_DEFS";
inline constexpr const char* kPresetDefs = "PRESET_DEFS";

// Source_DEFS
inline constexpr const char* kSystem = "System";
inline constexpr const char* kPatternVarName = "Var_Name";
inline constexpr const char* kPatternPart = "Part";
inline constexpr const char* kSystemNames[2] = {"VISIWIN32", "VISIWINSTUDIO"};

// PRESET_DEFS, in the order the take-over lists them
inline constexpr const char* kId = "ID";
inline constexpr const char* kMachineType = "machine_type";
inline constexpr const char* kType = "type";
inline constexpr const char* kVarName = "var_name";
inline constexpr const char* kCategoryId = "category_id";
inline constexpr const char* kCategorie = "categorie";  // the older layout's name
inline constexpr const char* kIsBitArray = "isBitArray";
inline constexpr const char* kOffsetOrBitno = "offset_or_bitno";
inline constexpr const char* kText = "text";
inline constexpr const char* kPageName = "page_name";
inline constexpr const char* kAbsMin = "abs_min";
inline constexpr const char* kAbsMax = "abs_max";
inline constexpr const char* kMin = "min";
inline constexpr const char* kMax = "max";
inline constexpr const char* kPass = "pass";
inline constexpr const char* kPart = "part";
// The five values the operators set, carried from the earlier table.
inline constexpr const char* kCarried[5] = {kAbsMin, kAbsMax, kMin, kMax, kPass};

inline constexpr const char* kMachinePlaceholder = "###machine";
inline constexpr const char* kVarNamePlaceholder = "###Var_Name";

}  // namespace zc::tables
