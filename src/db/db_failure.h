// The database layer's failures, with the numbers and texts plant engineers
// know from their Access databases. Every failure number of the database
// work lives here.
#pragma once

#include <string>

#include "errors/failure.h"

namespace zc::db {

namespace source {
inline constexpr const char* kEngine = "DAO.DBEngine";
inline constexpr const char* kDatabase = "DAO.Database";
inline constexpr const char* kTableDefs = "DAO.TableDefs";
inline constexpr const char* kTableDef = "DAO.TableDef";
inline constexpr const char* kFields = "DAO.Fields";
inline constexpr const char* kField = "DAO.Field";
inline constexpr const char* kRecordset = "DAO.Recordset";
}  // namespace source

namespace code {
constexpr int kGeneric = 3000;
constexpr int kTableExists = 3010;
constexpr int kUpdateWithoutEdit = 3020;
constexpr int kNoCurrentRecord = 3021;
constexpr int kFileNotFound = 3024;
constexpr int kCannotOpen = 3051;
constexpr int kTooFewParameters = 3061;
constexpr int kSyntax = 3075;
constexpr int kNoSuchTable = 3078;
constexpr int kFieldTooSmall = 3163;
constexpr int kDuplicateField = 3191;
constexpr int kDatabaseExists = 3204;
constexpr int kInvalidType = 3259;
constexpr int kNoFieldDefined = 3264;
constexpr int kItemNotFound = 3265;
constexpr int kNotADatabase = 3343;
constexpr int kNumericOverflow = 3349;
constexpr int kTooComplex = 3360;
constexpr int kObjectInvalid = 3420;
constexpr int kConversion = 3421;
constexpr int kCriteriaMismatch = 3464;
// The take-over gives up on the earlier table: "Database-Error - Contact
// Administrator!", raised by the program itself.
constexpr int kTakeOverAborted = 9999;
}  // namespace code

[[noreturn]] inline void Fail(int number, std::string description, const char* from) {
  throw Failure(number, std::move(description), from);
}

[[noreturn]] inline void NoCurrentRecord() {
  Fail(code::kNoCurrentRecord, "No current record.", source::kRecordset);
}
[[noreturn]] inline void ItemNotFound(const char* from) {
  Fail(code::kItemNotFound, "Item not found in this collection.", from);
}
[[noreturn]] inline void ObjectInvalid(const char* from) {
  Fail(code::kObjectInvalid, "Object invalid or no longer set.", from);
}

}  // namespace zc::db
