#include "jet/format.h"

#include <fstream>
#include <string_view>

#include "platform/platform.h"

namespace zc::jet {

FileKind KindOfHeader(Bytes head) {
  if (head.size() < 0x15) return FileKind::kOther;
  const std::string_view magic(reinterpret_cast<const char*>(head.data()) + 4, 15);
  if (magic == "Standard ACE DB") return FileKind::kAce;
  if (magic != "Standard Jet DB") return FileKind::kOther;
  switch (head[0x14]) {
    case 0:
      return FileKind::kJet3;
    case 1:
      return FileKind::kJet4;
    default:
      return FileKind::kAce;  // a later engine writing the old signature
  }
}

FileKind KindOfFile(const std::string& path) {
  std::ifstream in(platform::NativePath(path), std::ios::binary);
  std::uint8_t head[0x15] = {};
  if (!in.read(reinterpret_cast<char*>(head), sizeof head)) return FileKind::kOther;
  return KindOfHeader(head);
}

const Format& Jet3Format() {
  static const Format format{
      .jet4 = false,
      .page_size = 2048,
      .data_free_at = 2,
      .data_owner_at = 4,
      .data_row_count_at = 8,
      .data_rows_at = 10,
      .tdef_length_at = 8,
      .tdef_rows_at = 12,
      .tdef_autonumber_at = 16,
      .tdef_type_at = 20,
      .tdef_max_cols_at = 21,
      .tdef_var_cols_at = 23,
      .tdef_cols_at = 25,
      .tdef_logical_indexes_at = 27,
      .tdef_real_indexes_at = 31,
      .tdef_owned_map_at = 35,
      .tdef_free_map_at = 39,
      .tdef_header_size = 43,
      .real_index_count_size = 8,
      .column_size = 18,
      .col_number_at = 1,
      .col_var_index_at = 3,
      .col_number2_at = 5,
      .col_misc_at = 7,
      .col_flags_at = 13,
      .col_fixed_at = 14,
      .col_length_at = 16,
      .name_length_size = 1,
      .real_index_size = 39,
      .logical_index_size = 20,
      .row_count_size = 1,
      .max_row_size = 2012,
      .max_long_value_row = 2032,
      .inline_map_bytes = 128,
      .index_prev_at = 8,
      .index_next_at = 12,
      .index_tail_at = 16,
      .index_prefix_at = 20,
      .index_mask_at = 22,
      .index_mask_size = 226,
  };
  return format;
}

const Format& Jet4Format() {
  static const Format format{
      .jet4 = true,
      .page_size = 4096,
      .data_free_at = 2,
      .data_owner_at = 4,
      .data_row_count_at = 12,
      .data_rows_at = 14,
      .tdef_length_at = 8,
      .tdef_rows_at = 16,
      .tdef_autonumber_at = 20,
      .tdef_type_at = 40,
      .tdef_max_cols_at = 41,
      .tdef_var_cols_at = 43,
      .tdef_cols_at = 45,
      .tdef_logical_indexes_at = 47,
      .tdef_real_indexes_at = 51,
      .tdef_owned_map_at = 55,
      .tdef_free_map_at = 59,
      .tdef_header_size = 63,
      .real_index_count_size = 12,
      .column_size = 25,
      .col_number_at = 5,
      .col_var_index_at = 7,
      .col_number2_at = 9,
      .col_misc_at = 11,
      .col_flags_at = 15,
      .col_fixed_at = 21,
      .col_length_at = 23,
      .name_length_size = 2,
      .real_index_size = 52,
      .logical_index_size = 28,
      .row_count_size = 2,
      .max_row_size = 4060,
      .max_long_value_row = 4076,
      .inline_map_bytes = 64,
      .index_prev_at = 12,
      .index_next_at = 16,
      .index_tail_at = 20,
      .index_prefix_at = 24,
      .index_mask_at = 27,
      .index_mask_size = 453,
  };
  return format;
}

}  // namespace zc::jet
