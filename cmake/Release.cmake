# The release this source tree is: its version comes from project(VERSION), its date is fixed
# here, and every part of the program and its packaging reads both from these variables and the
# header generated from them, never from the time of the build.

# The time of the release named by project(VERSION) (2026-12-07 12:00 UTC); move both together.
set(QUINTARAL_RELEASE_EPOCH 1796644800)
# string(TIMESTAMP) formats SOURCE_DATE_EPOCH when it is set; it is borrowed for the release time.
set(saved_epoch "$ENV{SOURCE_DATE_EPOCH}")
set(ENV{SOURCE_DATE_EPOCH} ${QUINTARAL_RELEASE_EPOCH})
string(TIMESTAMP QUINTARAL_RELEASE_DATE "%Y-%m-%d" UTC)
string(TIMESTAMP QUINTARAL_RELEASE_YEAR "%Y" UTC)
string(TIMESTAMP QUINTARAL_RELEASE_DATE_RFC2822 "%a, %d %b %Y %H:%M:%S +0000" UTC)
set(ENV{SOURCE_DATE_EPOCH} "${saved_epoch}")

# "quintaral/version.h": QUINTARAL_VERSION and QUINTARAL_YEAR for the programs and the tests.
configure_file(${CMAKE_CURRENT_LIST_DIR}/version.h.in
               ${PROJECT_BINARY_DIR}/generated/version/quintaral/version.h @ONLY)
add_library(quintaral_version INTERFACE)
target_include_directories(quintaral_version INTERFACE ${PROJECT_BINARY_DIR}/generated/version)
