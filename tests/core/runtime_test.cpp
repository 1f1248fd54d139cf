// SPDX-License-Identifier: MIT
#include "runtime/error_handling.h"
#include "runtime/object_temporary.h"
#include "runtime/variant_operations.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace velmora {
namespace {

TEST(Runtime, SubstrateConstantIsStoredWithItsByteCountAndTerminator) {
    EXPECT_EQ(kSubstrateText.byteCount, 18u);
    EXPECT_EQ(kSubstrateText.view(), u"substrate");
    EXPECT_EQ(kSubstrateText.characters[9], u'\0');
    EXPECT_EQ(Variant::textConstant(kSubstrateText.view()).type(), VariantType::TextConstant);
}

TEST(Runtime, ComparisonWithTheConstantIsExactAndCaseSensitive) {
    // One case per line.
    // clang-format off
    const std::pair<Variant, VbBool> cases[] = {
        {Variant::text(u"substrate"), kVbTrue},
        {Variant::textConstant(u"substrate"), kVbTrue},
        {Variant::text(u"Substrate"), kVbFalse},
        {Variant::text(u"SUBSTRATE"), kVbFalse},
        {Variant::text(u"substrate "), kVbFalse},
        {Variant::text(u" substrate"), kVbFalse},
        {Variant::text(u"substrat"), kVbFalse},
        {Variant::text(std::u16string(u"substrate\0", 10)), kVbFalse},
        {Variant::text(u""), kVbFalse},
        {Variant(), kVbFalse},
        {Variant::boolean(true), kVbFalse},
        {Variant::longValue(0), kVbFalse},
    };
    // clang-format on
    for (const auto& [value, expected] : cases) EXPECT_EQ(varTestEq(kSubstrateText, value), expected);
}

TEST(Runtime, ObjectTemporaryHoldsOneReferenceUntilFreedOrOutOfScope) {
    FormModel form;
    {
        ObjectTemporary temporary;
        objSet(temporary, form.Picture1());
        EXPECT_EQ(form.Picture1().control().references(), 1);
        objSet(temporary, form.Picture3()); // the old reference goes first
        EXPECT_EQ(form.Picture1().control().references(), 0);
        EXPECT_EQ(form.Picture3().control().references(), 1);
        EXPECT_EQ(Temporaries::live(), 1);
        freeObj(temporary);
        freeObj(temporary); // freeing an empty temporary is harmless
        EXPECT_EQ(form.liveReferences(), 0);
        objSet(temporary, form.Picture4());
    }
    EXPECT_EQ(form.liveReferences(), 0);
    EXPECT_EQ(Temporaries::live(), 0);
}

TEST(Runtime, LateGetOfAMissingPropertyThrowsAndLeavesNoTemporary) {
    FormModel form;
    {
        VariantTemporary result;
        lateGet(result, form.Picture2().control(), kTagName);
        EXPECT_EQ(Temporaries::live(), 1);
        EXPECT_THROW(lateGet(result, form.Picture2().control(), u"Caption"), RunTimeError);
        EXPECT_FALSE(result.holdsValue());
        EXPECT_EQ(Temporaries::live(), 0);
        EXPECT_THROW(lateGet(result, form.Picture2().control(), u"T\u00E4g"), RunTimeError);
    }
    EXPECT_EQ(Temporaries::live(), 0);
}

TEST(Runtime, CheckStatusRaisesAnErrorNamingInterfaceOperationAndControl) {
    FormModel form;
    EXPECT_NO_THROW(checkStatus(kStatusOk, form.Label1(), kPictureAreaInterface, kVisibleSetter));
    EXPECT_NO_THROW(checkStatus(1, form.Label1(), kPictureAreaInterface, kVisibleSetter));
    try {
        checkStatus(kStatusFail, form.Picture3().control(), kPictureAreaInterface, kVisibleSetter);
        FAIL() << "no error raised";
    } catch (const RunTimeError& e) {
        EXPECT_EQ(e.number(), kStatusFail);
        for (const char* word : {"IPictureArea", "Visible", "Picture3", "0x80004005"})
            EXPECT_NE(e.description().find(word), std::string::npos) << word << " in " << e.description();
        EXPECT_NE(std::string(e.what()).find(e.description()), std::string::npos);
    }
}

TEST(Runtime, ExceptHandlerReportsOnceReturnsFailureAndRestoresThePreviousReporter) {
    std::vector<std::int32_t> outer, inner;
    ScopedErrorReporter outerScope([&](const RunTimeError& e) { outer.push_back(e.number()); });
    {
        ScopedErrorReporter innerScope([&](const RunTimeError& e) { inner.push_back(e.number()); });
        EXPECT_EQ(exceptHandler([] {}), kStatusOk);
        EXPECT_EQ(exceptHandler([] { throw RunTimeError(kStatusFail, "x"); }), kStatusFail);
        EXPECT_EQ(exceptHandler([] { throw RunTimeError(438, "x"); }), kStatusFail);
        EXPECT_TRUE(failed(exceptHandler([] { throw std::out_of_range("boom"); })));
    }
    EXPECT_EQ(inner, (std::vector<std::int32_t>{kStatusFail, 438, error_number::kInternal}));
    EXPECT_TRUE(failed(exceptHandler([] { throw RunTimeError(5, "y"); })));
    EXPECT_EQ(outer, std::vector<std::int32_t>{5});
}

TEST(Runtime, WithoutAReporterTheErrorGoesOnInsteadOfBeingSwallowed) {
    EXPECT_THROW(exceptHandler([] { throw RunTimeError(7, "z"); }), RunTimeError);
    EXPECT_THROW(exceptHandler([] { throw std::logic_error("w"); }), RunTimeError);
}

} // namespace
} // namespace velmora
