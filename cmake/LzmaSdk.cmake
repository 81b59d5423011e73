# The LZMA2 decoder and the x86 branch converter of the LZMA SDK (public
# domain), from the C sources of Debian's 7zip source package, which
# scripts/install-deps.sh unpacks: the installer decodes a solid payload
# with them (src/archive/SolidStream.cpp), on every platform from the same
# sources. C code that never calls back into code that throws: no unwind
# tables.
set(LZMA_SDK_DIR /usr/local/src/lumora-setup/7zip
    CACHE PATH "7-Zip's sources, whose C folder is the LZMA SDK (scripts/install-deps.sh puts them here)")
if(NOT EXISTS ${LZMA_SDK_DIR}/C/Lzma2Dec.c)
  message(FATAL_ERROR "LZMA SDK sources not found in ${LZMA_SDK_DIR}/C; run scripts/install-deps.sh")
endif()
add_library(lzma_sdk_decoder STATIC
  ${LZMA_SDK_DIR}/C/LzmaDec.c ${LZMA_SDK_DIR}/C/Lzma2Dec.c ${LZMA_SDK_DIR}/C/Bra86.c)
target_include_directories(lzma_sdk_decoder SYSTEM PUBLIC ${LZMA_SDK_DIR}/C)
# Third-party code, which writes unaligned words where the processor allows
# it: not under the sanitizers.
target_compile_options(lzma_sdk_decoder PRIVATE -w -fno-asynchronous-unwind-tables $<$<BOOL:${SETUP_SANITIZE}>:-fno-sanitize=all>)

# The encoder, for the packing tool's solid payloads: LZMA2 with its threads
# (MtCoder, LzFindMt) on the SDK's own thread layer, Threads.c: pthreads
# here, Windows threads in the Windows build. Only the packing tool links it;
# the decoder above stays single-threaded.
add_library(lzma_sdk_encoder STATIC
  ${LZMA_SDK_DIR}/C/LzmaEnc.c ${LZMA_SDK_DIR}/C/Lzma2Enc.c ${LZMA_SDK_DIR}/C/LzFind.c ${LZMA_SDK_DIR}/C/LzFindOpt.c
  ${LZMA_SDK_DIR}/C/LzFindMt.c ${LZMA_SDK_DIR}/C/MtCoder.c ${LZMA_SDK_DIR}/C/MtDec.c ${LZMA_SDK_DIR}/C/Threads.c
  ${LZMA_SDK_DIR}/C/7zStream.c ${LZMA_SDK_DIR}/C/CpuArch.c)
target_link_libraries(lzma_sdk_encoder PUBLIC lzma_sdk_decoder)
if(NOT WIN32)
  find_package(Threads REQUIRED)
  target_link_libraries(lzma_sdk_encoder PUBLIC Threads::Threads)
endif()
target_compile_options(lzma_sdk_encoder PRIVATE -w $<$<BOOL:${SETUP_SANITIZE}>:-fno-sanitize=all>)
