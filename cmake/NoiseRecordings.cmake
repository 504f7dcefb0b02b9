# The four shipped noise recordings, one of each kind, 60 s loops made by `qlor-cli noise` during
# the build (no sound files are kept in the source tree). They are installed with the language
# files and copied into the working folder by `make run` (scripts/run-qlor) and qlor-launcher.
set(QLOR_NOISE_DIR ${CMAKE_BINARY_DIR}/noise)
set(QLOR_NOISE_SEED 2000) # fixed: the shipped recordings are the same in every build
set(QLOR_NOISE_RECORDINGS)
foreach(kind hiss static qrm mix)
    set(recording ${QLOR_NOISE_DIR}/noise-${kind}.wav)
    add_custom_command(OUTPUT ${recording}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${QLOR_NOISE_DIR}
        COMMAND qlor-cli noise --kind ${kind} --seconds 60 --seed ${QLOR_NOISE_SEED} --rate 22050 --out ${recording}
        DEPENDS qlor-cli
        COMMENT "Generating the shipped noise recording noise-${kind}.wav"
        VERBATIM)
    list(APPEND QLOR_NOISE_RECORDINGS ${recording})
endforeach()
add_custom_target(noise_recordings ALL DEPENDS ${QLOR_NOISE_RECORDINGS})
