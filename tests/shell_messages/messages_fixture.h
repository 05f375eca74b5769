#pragma once
// Shared helpers of the message-page tests: language texts as the language
// manager shows them, and contexts for the text builder.
#include "foundation/code_tables.h"
#include "shell/messages/message_texts.h"
#include "ui/dlang.h"
#include "ui/lang_library.h"

#include <gtest/gtest.h>

#include <ostream>

inline CString langText(int id) {
    CString text = CLangLibrary::loadLangString(static_cast<UINT>(id));
    CDLang::DScript script;
    CDLang::parseTags(text, script, FALSE);
    return text;
}

// The real language library in one language for a test, English after it.
class LanguageTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(CLangLibrary::loadLanguage(LANGUAGE_EN)); }
    void TearDown() override { CLangLibrary::loadLanguage(LANGUAGE_EN); }

    static msg::MessageContext context(int language = LANGUAGE_EN, int region = REGION_US, int brand = CORP_TS) {
        msg::MessageContext c;
        c.language = language;
        c.region = region;
        c.lastBrand = brand;
        c.text = langText;
        return c;
    }
    static CString shown(const msg::MessageContent& content, int control) {
        return msg::resolvedText(content, control, langText);
    }
};

inline void PrintTo(const CString& s, std::ostream* os) { *os << '"' << CW2A(s.GetString(), CP_UTF8) << '"'; }
