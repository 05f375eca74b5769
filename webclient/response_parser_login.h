#pragma once
// Reader of the "/api/ChkRegist" reply (sign-in and guest catalogue): the
// result code, the reply texts, the dealer code and one vehicle entry per
// descriptor of each of the user's vehicles.
#include "descriptors/inf_info.h"
#include "descriptors/response_parser.h"

class ResponseParserLogin : public ResponseParser {
public:
    // Any output may be null. The entries go into list, which owns them.
    ResponseParserLogin(int resultCode, int format, CString* text1, CString* text2, CString* text3,
                        InfInfoList* list, CString* dealerCode)
        : ResponseParser(resultCode, format),
          m_pText1(text1),
          m_pText2(text2),
          m_pText3(text3),
          m_pList(list),
          m_pDealerCode(dealerCode) {}

    // Format 2; any other format reads nothing and returns 0.
    int parse(CString text) override;

    // Callers test the result code, not the return value. 1 when the entries
    // were created (none for a refusal). 0 for an empty reply (code -1), for
    // per-vehicle lists of differing length (code 900, no entries) and for a
    // code 200 without any vehicle (code 900). The texts are written whenever
    // the reply was not empty: the first text is the link of a 904 refusal,
    // the third the message of the other refusals, the second stays empty.
    int parseFormat2(CString text);

    // The code the reply itself carried (-1 before a parse or for an empty
    // reply), before this reader turned it into 900.
    int getReplyCode() const { return m_nReplyCode; }
    // Every per-vehicle list holds one item per vehicle; with no vehicle an
    // empty field counts as an empty list. A guest catalogue of 200 whose
    // lists agree is a success even without vehicles; a sign-in is not.
    bool listsAgree() const { return m_bListsAgree; }

    // A descriptor name from the service becomes a folder under the download
    // folder and part of the paths the shell deletes: it must be one plain
    // file name that the platform keeps as written (no separator, no
    // wildcard, no trailing dot or blank, no "~1" short form, no device).
    static bool isUsableDescriptorName(const CString& name);

private:
    int m_nReplyCode = -1;
    bool m_bListsAgree = false;
    CString* m_pText1;
    CString* m_pText2;
    CString* m_pText3;
    InfInfoList* m_pList;
    CString* m_pDealerCode;
};
