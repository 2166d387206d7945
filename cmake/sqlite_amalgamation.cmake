# SQLite for builds without a system SQLite (the Windows build): the
# amalgamation that scripts/fetch-sqlite.sh fetches with npm at a pinned
# version and checksum, built as a static library under the name the core
# links: SQLite::SQLite3. The build itself fetches nothing.
set(ZC_SQLITE_AMALGAMATION_DIR ${CMAKE_BINARY_DIR}/_deps/sqlite-amalgamation
    CACHE PATH "folder holding the SQLite amalgamation (sqlite3.c, sqlite3.h)")

if(NOT EXISTS ${ZC_SQLITE_AMALGAMATION_DIR}/sqlite3.c)
  message(FATAL_ERROR
    "No SQLite amalgamation in ${ZC_SQLITE_AMALGAMATION_DIR}. Fetch it first with\n"
    "  bash scripts/fetch-sqlite.sh ${CMAKE_BINARY_DIR}\n"
    "or point ZC_SQLITE_AMALGAMATION_DIR at a folder holding sqlite3.c and sqlite3.h.")
endif()

enable_language(C)
add_library(zc_sqlite3 STATIC ${ZC_SQLITE_AMALGAMATION_DIR}/sqlite3.c)
target_include_directories(zc_sqlite3 SYSTEM PUBLIC ${ZC_SQLITE_AMALGAMATION_DIR})
# Nothing loads extensions.
target_compile_definitions(zc_sqlite3 PRIVATE SQLITE_OMIT_LOAD_EXTENSION)
target_compile_options(zc_sqlite3 PRIVATE -w)
add_library(SQLite::SQLite3 ALIAS zc_sqlite3)
