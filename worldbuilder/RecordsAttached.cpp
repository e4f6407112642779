#include "Records.h"

namespace wb {

void WriteRecord(TBytes& Out, const TLoan& Loan, int16_t) {
    Out.U8(Loan.RecordType);
    Out.I32(Loan.PersonID);
    Out.I32(Loan.TeamID);
    WriteDate(Out, Loan.StartDate);
    WriteDate(Out, Loan.EndDate);
    WriteTail(Out, Loan);
}

void WriteRecord(TBytes& Out, const TStartingInjury& Injury, int16_t) {
    Out.U8(Injury.RecordType);
    Out.I32(Injury.PersonID);
    Out.I32(Injury.InjuryID);
    WriteDate(Out, Injury.StartDate);
    WriteDate(Out, Injury.EndDate);
    Out.U8(Injury.Extra1);
    Out.U8(Injury.Extra2);
    Out.U8(Injury.Extra3);
    WriteTail(Out, Injury);
}

void WriteRecord(TBytes& Out, const TStartingConfidence& Confidence, int16_t) {
    Out.U8(Confidence.RecordType);
    Out.I32(Confidence.PersonID);
    Out.I16(Confidence.BoardConfidence);
    Out.I16(Confidence.FanConfidence);
    WriteTail(Out, Confidence);
}

void WriteRecord(TBytes& Out, const TFutureTransfer& Transfer, int16_t) {
    Out.U8(Transfer.RecordType);
    Out.I32(Transfer.PersonID);
    Out.I32(Transfer.TeamID);
    WriteDate(Out, Transfer.TransferDate);
    Out.I32(Transfer.TransferFee);
    Out.I32(Transfer.FutureWage);
    Out.U8(Transfer.ContractYears);
    WriteTail(Out, Transfer);
}

void WriteHistoryEntry(TBytes& Out, const TPlayingHistoryEntry& Entry) {
    Out.I16(Entry.Season);
    Out.U8(Entry.OnLoan);
    Out.U8(Entry.Apps);
    Out.U8(Entry.Goals);
    Out.I32(Entry.TeamUniqueID);
}

} // namespace wb
