#include "KroSmtpDataWriter.h"

#include "KroSmtpSession.h"

bool TSmtpDataWriter::Write(std::string_view Text) {
    if (Failed)
        return false;
    for (const char C : Text) {
        if (AfterCarriageReturn) {
            AfterCarriageReturn = false;
            Buffer += '\n';
            AtLineStart = true;
            if (C == '\n')
                continue;
        }
        if (C == '\r') {
            Buffer += '\r';
            AfterCarriageReturn = true;
            continue;
        }
        if (C == '\n') {
            Buffer += "\r\n";
            AtLineStart = true;
            continue;
        }
        if (AtLineStart && C == '.')
            Buffer += '.';
        AtLineStart = false;
        Buffer += C;
        if (Buffer.size() >= TSmtpSession::PieceSize && !Flush())
            return false;
    }
    return true;
}

bool TSmtpDataWriter::Flush() {
    if (!Failed && !Session.SendText(Buffer))
        Failed = true;
    Buffer.clear();
    return !Failed;
}

bool TSmtpDataWriter::Finish() {
    if (Failed)
        return false;
    if (AfterCarriageReturn) {
        Buffer += '\n';
        AfterCarriageReturn = false;
        AtLineStart = true;
    }
    if (!AtLineStart)
        Buffer += "\r\n";
    Buffer += ".\r\n";
    return Flush();
}
