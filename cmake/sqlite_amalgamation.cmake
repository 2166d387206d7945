# SQLite for builds without a system SQLite (the Windows build): the
# amalgamation that the npm package better-sqlite3 carries, fetched at
# configure time from the registry at a pinned version and checksum, built as
# a static library under the name the core links: SQLite::SQLite3.
set(ZC_SQLITE_PACKAGE_VERSION 12.11.1)  # holds SQLite 3.53.2
set(ZC_SQLITE_PACKAGE_SHA256 ebf0ed75a7a59dbcb3b24bbd014ef49d9f15bc328e4adcbf516f2a8fadfa2835)
set(ZC_SQLITE_PACKAGE_URL
    https://registry.npmjs.org/better-sqlite3/-/better-sqlite3-${ZC_SQLITE_PACKAGE_VERSION}.tgz)

set(ZC_SQLITE_ARCHIVE ${CMAKE_BINARY_DIR}/_deps/better-sqlite3-${ZC_SQLITE_PACKAGE_VERSION}.tgz)
set(ZC_SQLITE_UNPACKED ${CMAKE_BINARY_DIR}/_deps/better-sqlite3-${ZC_SQLITE_PACKAGE_VERSION})
set(ZC_SQLITE_SOURCE ${ZC_SQLITE_UNPACKED}/package/deps/sqlite3)

if(NOT EXISTS ${ZC_SQLITE_SOURCE}/sqlite3.c)
  file(DOWNLOAD ${ZC_SQLITE_PACKAGE_URL} ${ZC_SQLITE_ARCHIVE}
       EXPECTED_HASH SHA256=${ZC_SQLITE_PACKAGE_SHA256}
       TLS_VERIFY ON
       STATUS download_status)
  list(GET download_status 0 download_code)
  if(NOT download_code EQUAL 0)
    list(GET download_status 1 download_message)
    message(FATAL_ERROR "Cannot fetch ${ZC_SQLITE_PACKAGE_URL}: ${download_message}")
  endif()
  file(ARCHIVE_EXTRACT INPUT ${ZC_SQLITE_ARCHIVE} DESTINATION ${ZC_SQLITE_UNPACKED}
       PATTERNS package/deps/sqlite3/*)
  file(REMOVE ${ZC_SQLITE_ARCHIVE})
endif()

enable_language(C)
add_library(zc_sqlite3 STATIC ${ZC_SQLITE_SOURCE}/sqlite3.c)
target_include_directories(zc_sqlite3 SYSTEM PUBLIC ${ZC_SQLITE_SOURCE})
# Nothing loads extensions.
target_compile_definitions(zc_sqlite3 PRIVATE SQLITE_OMIT_LOAD_EXTENSION)
target_compile_options(zc_sqlite3 PRIVATE -w)
add_library(SQLite::SQLite3 ALIAS zc_sqlite3)
