# Run by CPack on the staged files before it packs them: strips the program
# the way Debian strips its own, of symbols and of the compiler's .comment
# and .note sections.
file(GLOB programs ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/bin/*)
execute_process(COMMAND strip --remove-section=.comment --remove-section=.note ${programs}
                COMMAND_ERROR_IS_FATAL ANY)
