// The rotation module's contract, in two lists (see com/ComponentContract.h): its job method,
//
//   X(name, dispid, helpString, result, param...)
//
// (`m_params` is accepted and not used) and every property of ITurnelleCom in the interface's
// declaration order, each as
//
//   X(name, dispid, kind, default, helpString, setting, meaning)
//
// where `setting` is the member of turnelle::TurnelleSettings the property fills. The
// interface, the object, the type library, the `turnelle` command's options and help and the
// module's setting puts are all expanded from these lists.
#pragma once

#define TURNELLE_JOB_METHOD(X) X(getTurnelleFile, 5, "", pVal, m_intputFile, m_outputFile, m_params)

// clang-format off
#define TURNELLE_PROPERTIES(X) \
    X(type, 6, Integer, "2", "property m_ret", type, "which pages: 2 all, 3 odd, 4 even, 5 first half, 6 second half, any other value the list rotatePages") \
    X(rotateAngle, 7, Integer, "0", "property m_Rotate", rotateAngle, "angle in degrees the selected pages get, a multiple of 90") \
    X(rotatePages, 8, Text, "", "property m_strRotatePagesList", rotatePages, "page numbers and ranges such as 1-3,5,9-12 (no blanks), used when type is not 2 to 6") \
    X(force, 9, Flag, "0", "property force", force, "not 0: add the angle to each page's present rotation instead of replacing it")
// clang-format on
