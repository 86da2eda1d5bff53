# The Windows zip: the two programs, the libraries they load, the recordings, espeak-ng's voice
# data and a README, all in one folder that runs wherever it is unpacked.
#   cpack -G ZIP   (in the build folder)   makes rotorduel-VERSION-win64.zip
if(NOT ROTORDUEL_WIN_PREFIX)
  message(FATAL_ERROR "ROTORDUEL_WIN_PREFIX must name the libraries' prefix (scripts/windows)")
endif()

install(TARGETS rotorduel rotorduel-replay RUNTIME DESTINATION .)
install(DIRECTORY ${ROTORDUEL_SOUNDS_DIR}/ DESTINATION sounds FILES_MATCHING PATTERN "*.wav")
install(DIRECTORY ${ROTORDUEL_WIN_PREFIX}/share/espeak-ng-data DESTINATION .)
# SDL2, OpenAL Soft, libsndfile, espeak-ng, libebur128 and the mingw-w64 runtime: the prefix holds
# no others.
install(DIRECTORY ${ROTORDUEL_WIN_PREFIX}/bin/ DESTINATION . FILES_MATCHING PATTERN "*.dll")
install(FILES ${CMAKE_SOURCE_DIR}/packaging/windows/README.txt ${CMAKE_SOURCE_DIR}/LICENSE
        DESTINATION .)
# NVDA's controller client, when the packager has one (scripts/windows --nvda): the game speaks
# through a running NVDA when it lies beside rotorduel.exe.
set(ROTORDUEL_NVDA_DLL "" CACHE FILEPATH "NVDA's controller client to put in the zip")
if(ROTORDUEL_NVDA_DLL)
  install(FILES ${ROTORDUEL_NVDA_DLL} DESTINATION . RENAME nvdaControllerClient64.dll)
endif()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME rotorduel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME rotorduel-${PROJECT_VERSION}-win64)
# Unpacked, everything is in one folder named like the zip.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
include(CPack)
