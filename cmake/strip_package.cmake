# Run by CPack on the staged files before it packs them: strips the programs
# (torvesk and its window program) the way Debian strips its own, of symbols
# and of the compiler's .comment and .note sections.
file(GLOB programs ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/bin/*
                   ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/libexec/torvesk/*)
execute_process(COMMAND strip --remove-section=.comment --remove-section=.note ${programs}
                COMMAND_ERROR_IS_FATAL ANY)
