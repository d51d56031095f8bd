# A VERSIONINFO resource for a Windows target: the project's version, the
# product name, a description of the file and its own file name.
function(nimbrel_version_resource target description)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
        set(file_type VFT_APP)
    else()
        set(file_type VFT_DLL)
    endif()
    set(version_numbers "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},0,0")
    # The file's name is known once the target is generated.
    set(template ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc.in)
    set(resource ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
    configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${template} @ONLY)
    file(GENERATE OUTPUT ${resource} INPUT ${template})
    set_source_files_properties(${resource} PROPERTIES GENERATED TRUE)
    target_sources(${target} PRIVATE ${resource})
endfunction()
