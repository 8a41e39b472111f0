#include "framework/DialogTemplate.h"

#include <objbase.h>

#include <cstring>
#include <string>

namespace {

// A bounds-checked reader over the template's words.
class Reader {
public:
    Reader(const BYTE* p, size_t cb) : m_p(p), m_cb(cb) {}
    bool ok() const { return m_ok; }
    size_t pos() const { return m_pos; }
    void Align4() { m_pos = (m_pos + 3) & ~size_t(3); }
    template <class T>
    T Read() {
        T v{};
        if (m_pos + sizeof(T) > m_cb) { m_ok = false; m_pos = m_cb; return v; }
        std::memcpy(&v, m_p + m_pos, sizeof(T));
        m_pos += sizeof(T);
        return v;
    }
    void Skip(size_t n) {
        if (m_pos + n > m_cb) { m_ok = false; m_pos = m_cb; return; }
        m_pos += n;
    }
    // sz_Or_Ord: none (0), an ordinal (0xFFFF, id) or a string. Returns the string, if any.
    std::wstring SzOrOrd() {
        WORD w = Read<WORD>();
        if (w == 0) return {};
        if (w == 0xFFFF) { Read<WORD>(); return {}; }
        std::wstring s(1, static_cast<wchar_t>(w));
        for (;;) {
            WORD c = Read<WORD>();
            if (!m_ok || c == 0) break;
            s.push_back(static_cast<wchar_t>(c));
        }
        return s;
    }
    void Sz() {
        while (m_ok && Read<WORD>() != 0) {}
    }

private:
    const BYTE* m_p;
    size_t m_cb;
    size_t m_pos = 0;
    bool m_ok = true;
};

}  // namespace

bool SplitDialogTemplate(const void* pTemplate, size_t cb, DlgTemplateSplit& out) {
    const auto* p = static_cast<const BYTE*>(pTemplate);
    Reader r(p, cb);
    out = {};
    const bool bEx = cb >= 4 && r.Read<WORD>() == 1 && r.Read<WORD>() == 0xFFFF;
    Reader h(p, cb);
    DWORD style = 0;
    size_t countOffset = 0;
    if (bEx) {
        h.Skip(4 + 4 + 4);  // version, signature, help id, extended style
        style = h.Read<DWORD>();
        countOffset = h.pos();
    } else {
        style = h.Read<DWORD>();
        h.Skip(4);  // extended style
        countOffset = h.pos();
    }
    const WORD cItems = h.Read<WORD>();
    h.Skip(4 * sizeof(short));
    h.SzOrOrd();  // menu
    h.SzOrOrd();  // class
    h.Sz();       // title
    if (style & (DS_SETFONT | DS_SHELLFONT)) {
        h.Skip(sizeof(WORD));                            // point size
        if (bEx) h.Skip(sizeof(WORD) + 2 * sizeof(BYTE));  // weight, italic, charset
        h.Sz();                                          // face
    }
    if (!h.ok()) return false;

    out.bytes.assign(p, p + h.pos());
    WORD cKept = 0;
    UINT nIDPrev = 0;
    bool bHasPrev = false;
    for (WORD i = 0; i < cItems; ++i) {
        h.Align4();
        const size_t start = h.pos();
        DWORD itemStyle = 0, itemExStyle = 0;
        if (bEx) {
            h.Skip(4);  // help id
            itemExStyle = h.Read<DWORD>();
            itemStyle = h.Read<DWORD>();
        } else {
            itemStyle = h.Read<DWORD>();
            itemExStyle = h.Read<DWORD>();
        }
        const short x = h.Read<short>(), y = h.Read<short>(), cx = h.Read<short>(), cy = h.Read<short>();
        const UINT nID = bEx ? h.Read<DWORD>() : h.Read<WORD>();
        const std::wstring cls = h.SzOrOrd();
        h.SzOrOrd();  // title
        const WORD cbExtra = h.Read<WORD>();
        h.Skip(cbExtra);
        if (!h.ok()) return false;

        CLSID clsid{};
        if (!cls.empty() && cls[0] == L'{' && SUCCEEDED(CLSIDFromString(cls.c_str(), &clsid))) {
            out.oleItems.push_back({clsid, nID, itemStyle, itemExStyle,
                                    RECT{x, y, x + cx, y + cy}, nIDPrev, bHasPrev});
        } else {
            out.bytes.resize((out.bytes.size() + 3) & ~size_t(3), 0);
            out.bytes.insert(out.bytes.end(), p + start, p + h.pos());
            ++cKept;
        }
        nIDPrev = nID;
        bHasPrev = true;
    }
    std::memcpy(out.bytes.data() + countOffset, &cKept, sizeof(cKept));
    return true;
}

std::vector<BYTE> FindDlgInitStream(HINSTANCE hInst, UINT nIDTemplate, UINT nCtrlID) {
    constexpr WORD kLoadFromStream = 0x0376;
    HRSRC hRes = FindResourceW(hInst, MAKEINTRESOURCEW(nIDTemplate), MAKEINTRESOURCEW(240));
    HGLOBAL hGlobal = hRes ? LoadResource(hInst, hRes) : nullptr;
    const auto* p = hGlobal ? static_cast<const BYTE*>(LockResource(hGlobal)) : nullptr;
    if (!p) return {};
    Reader r(p, SizeofResource(hInst, hRes));
    for (;;) {
        const WORD id = r.Read<WORD>();
        if (!r.ok() || id == 0) break;
        const WORD msg = r.Read<WORD>();
        const DWORD len = r.Read<DWORD>();
        const size_t start = r.pos();
        r.Skip(len);
        if (!r.ok()) break;
        if (id == nCtrlID && msg == kLoadFromStream) return {p + start, p + start + len};
    }
    return {};
}
