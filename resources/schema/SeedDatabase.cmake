# Gives a program folder its first Kestavo.db, a copy of the empty template. An existing
# Kestavo.db is the user's data and is never replaced.
#   cmake -DTEMPLATE=<KestavoEmpty.db> -DDATABASE=<Kestavo.db> -P SeedDatabase.cmake
if(NOT EXISTS "${DATABASE}")
  set(partial "${DATABASE}.partial")
  file(COPY_FILE "${TEMPLATE}" "${partial}")
  file(RENAME "${partial}" "${DATABASE}")
  message(STATUS "Seeded ${DATABASE} from the empty template")
endif()
