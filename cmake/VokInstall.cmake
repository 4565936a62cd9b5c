# Where cmake --install (and the Debian package) puts each kind of file, so
# that a component installs a deliverable with one line.
#
# Paths are relative to the install prefix. What depends on the prefix is
# decided at install time, since a package is installed with a prefix of its
# own (/usr), not the configured one.

# Libraries that are loaded by file name (test mode, the interpreter) and not
# linked against: a private folder, not the linker's search path.
set(VOK_INSTALL_LIBDIR lib/vok)
set(VOK_INSTALL_MANDIR share/man/man1)
set(VOK_INSTALL_DATADIR share/vok)

# vok_install_program(TARGET): the program into bin/, and its manual page
# man/<program>.1 beside the CMakeLists.txt that made the target.
function(vok_install_program target)
  install(TARGETS ${target} RUNTIME DESTINATION bin)
  get_target_property(name ${target} OUTPUT_NAME)
  if(NOT name)
    set(name ${target})
  endif()
  get_target_property(folder ${target} SOURCE_DIR)
  vok_install_manual(${folder} ${name})
endfunction()

# vok_install_script(FILE NAME): a script of the component into bin/ as NAME,
# with its manual page man/NAME.1.
function(vok_install_script file name)
  install(PROGRAMS ${file} DESTINATION bin RENAME ${name})
  vok_install_manual(${CMAKE_CURRENT_SOURCE_DIR} ${name})
endfunction()

function(vok_install_manual folder name)
  set(page ${folder}/man/${name}.1)
  if(EXISTS ${page})
    install(FILES ${page} DESTINATION ${VOK_INSTALL_MANDIR})
  endif()
endfunction()

# vok_install_library(TARGET): a shared library into the private folder.
function(vok_install_library target)
  install(TARGETS ${target} LIBRARY DESTINATION ${VOK_INSTALL_LIBDIR})
endfunction()

# vok_package_depends(DEPENDENCY...): Debian dependencies of the package
# that dpkg-shlibdeps cannot see (programs run, interpreters), such as
# "python3 (>= 3.11)".
function(vok_package_depends)
  set_property(GLOBAL APPEND PROPERTY VOK_PACKAGE_DEPENDS ${ARGN})
endfunction()

# vok_install_python_module(TARGET MODULE): the module's library into the
# private folder under its own name, and MODULE.<ABI tag>.so, the name that
# the interpreter imports, as a link to it in a folder on that interpreter's
# path: lib/python3/dist-packages under /usr, lib/python3.X/dist-packages
# elsewhere (Debian's path for /usr/local; any other prefix needs PYTHONPATH).
# VOK_PYTHON_INSTALL_DIR, relative to the prefix, overrides that folder.
# Needs Python3_SOABI and Python3_VERSION_MINOR of the target's interpreter;
# the package then depends on that interpreter version, whose ABI it has.
function(vok_install_python_module target module)
  vok_install_library(${target})
  math(EXPR next_minor "${Python3_VERSION_MINOR} + 1")
  vok_package_depends("python3 (>= 3.${Python3_VERSION_MINOR})" "python3 (<< 3.${next_minor})")
  set(VOK_PYTHON_INSTALL_DIR "" CACHE STRING
      "Folder below the prefix for the Python module (empty: the interpreter's own)")
  set(library ${VOK_INSTALL_LIBDIR}/$<TARGET_FILE_NAME:${target}>)
  set(link ${module}.${Python3_SOABI}.so)
  install(CODE "
    set(folder \"${VOK_PYTHON_INSTALL_DIR}\")
    if(NOT folder AND CMAKE_INSTALL_PREFIX STREQUAL \"/usr\")
      set(folder lib/python3/dist-packages)
    elseif(NOT folder)
      set(folder lib/python3.${Python3_VERSION_MINOR}/dist-packages)
    endif()
    set(root \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
    file(RELATIVE_PATH relative \"\${root}/\${folder}\" \"\${root}/${library}\")
    file(MAKE_DIRECTORY \"\${root}/\${folder}\")
    message(STATUS \"Installing: \${root}/\${folder}/${link} -> \${relative}\")
    file(CREATE_LINK \"\${relative}\" \"\${root}/\${folder}/${link}\" SYMBOLIC)
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${root}/\${folder}/${link}\")
  ")
endfunction()

# vok_install_configured(TEMPLATE DESTINATION): TEMPLATE with @BINDIR@,
# @LIBDIR@, @DATADIR@ and @SYSCONFDIR@ replaced by the full paths of the
# install that is running, written to DESTINATION below the prefix. The
# configuration folder, etc/ below the prefix, is /etc for the prefix /usr.
function(vok_install_configured template destination)
  get_filename_component(template ${template} ABSOLUTE)
  install(CODE "
    set(BINDIR \"\${CMAKE_INSTALL_PREFIX}/bin\")
    set(LIBDIR \"\${CMAKE_INSTALL_PREFIX}/${VOK_INSTALL_LIBDIR}\")
    set(DATADIR \"\${CMAKE_INSTALL_PREFIX}/${VOK_INSTALL_DATADIR}\")
    set(SYSCONFDIR \"\${CMAKE_INSTALL_PREFIX}/etc\")
    if(CMAKE_INSTALL_PREFIX STREQUAL \"/usr\")
      set(SYSCONFDIR /etc)
    endif()
    set(target \"\${CMAKE_INSTALL_PREFIX}/${destination}\")
    if(\"${destination}\" MATCHES \"^etc/\")
      string(REGEX REPLACE \"^etc\" \"\${SYSCONFDIR}\" target \"${destination}\")
    endif()
    set(target \"\$ENV{DESTDIR}\${target}\")
    message(STATUS \"Installing: \${target}\")
    configure_file(\"${template}\" \"\${target}\" @ONLY)
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${target}\")
  ")
endfunction()
