#pragma once
// Files opened by path, with the class library's error model: opening, writing and renaming raise
// a CFileException that can report itself to the user in the platform's own words.
#include <windows.h>

#include "framework/String.h"

class CFileException {
public:
    CFileException(LONG lOsError, const CString& strFileName);

    // The platform's text for the error, followed by the file it concerns.
    CString GetErrorMessage() const;
    // Shows GetErrorMessage in a message box (owned by the thread's active window) and returns the
    // box's result. A message id is not supported: the platform's text is the report.
    int ReportError(UINT nType = MB_OK, UINT nMessageID = 0) const;

    LONG m_lOsError = 0;
    CString m_strFileName;
};

class CFile {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeCreate = 0x1000,
    };

    // Opens lpszFileName with the given mode; raises CFileException when it cannot.
    CFile(const wchar_t* lpszFileName, UINT nOpenFlags);
    // Closes the file if it is still open; errors at this point are not reported.
    ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // Writes all nCount bytes; raises CFileException on failure (a short write included).
    void Write(const void* lpBuf, UINT nCount);
    // Raises CFileException when the system reports an error on closing (buffered data lost).
    void Close();

    // Moves a file to a new name (no replacing); raises CFileException on failure.
    static void Rename(const wchar_t* lpszOldName, const wchar_t* lpszNewName);

    const CString& GetFilePath() const { return m_strFileName; }

private:
    HANDLE m_hFile = INVALID_HANDLE_VALUE;
    CString m_strFileName;
};
