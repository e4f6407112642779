#include "KroDnsMessage.h"

#include "KroStrings.h"

#include <cstring>

namespace {

constexpr std::size_t HeaderSize = 12;
constexpr std::size_t MaxWireName = 255;

// Bytes a label may hold in its text form: printable ASCII without the blank and the dot, which would make the text
// form ambiguous.
bool IsLabelByte(std::uint8_t Byte) noexcept {
    return Byte > 0x20 && Byte < 0x7f && Byte != '.';
}

std::uint16_t Read16(const std::uint8_t* Data) noexcept {
    return static_cast<std::uint16_t>(Data[0] << 8 | Data[1]);
}

void Write16(std::uint8_t* Data, std::uint16_t Value) noexcept {
    Data[0] = static_cast<std::uint8_t>(Value >> 8);
    Data[1] = static_cast<std::uint8_t>(Value);
}

std::string_view WithoutFinalDot(std::string_view Name) noexcept {
    if (!Name.empty() && Name.back() == '.')
        Name.remove_suffix(1);
    return Name;
}

// One resource record's fixed part and where its data lies.
struct TRecord {
    TDnsName Owner;
    std::uint16_t Type = 0;
    std::uint16_t Class = 0;
    std::size_t DataStart = 0;
    std::size_t DataEnd = 0;
};

bool ReadRecord(const std::uint8_t* Data, std::size_t Size, std::size_t& Offset, TRecord& Record) noexcept {
    if (!ReadDnsName(Data, Size, Offset, Record.Owner) || Size - Offset < 10)
        return false;
    Record.Type = Read16(Data + Offset);
    Record.Class = Read16(Data + Offset + 2);
    const std::size_t Length = Read16(Data + Offset + 8);
    Record.DataStart = Offset + 10;
    if (Size - Record.DataStart < Length)
        return false;
    Record.DataEnd = Record.DataStart + Length;
    Offset = Record.DataEnd;
    return true;
}

// A name that must fill the record's data exactly (NS, CNAME, and MX behind its preference).
bool ReadDataName(const std::uint8_t* Data, const TRecord& Record, std::size_t Start, TDnsName& Name) noexcept {
    std::size_t Offset = Start;
    // The name is read against the whole datagram (its pointers may lead anywhere in it) but must end with the data.
    return ReadDnsName(Data, Record.DataEnd, Offset, Name) && Offset == Record.DataEnd;
}

// MX answers sorted by preference as they come; equal preferences keep their order.
struct TPreferenceList {
    std::array<std::uint16_t, TDnsNames::Capacity> Preferences{};

    void Insert(TDnsNames& Names, std::string_view Name, std::uint16_t Preference) noexcept {
        if (Names.Contains(Name) || Names.Count == TDnsNames::Capacity)
            return;
        std::size_t At = Names.Count;
        while (At > 0 && Preferences[At - 1] > Preference) {
            Names.Items[At] = Names.Items[At - 1];
            Preferences[At] = Preferences[At - 1];
            --At;
        }
        Names.Items[At].Assign(Name);
        Preferences[At] = Preference;
        ++Names.Count;
    }
};

} // namespace

void TDnsNames::Add(std::string_view Name) noexcept {
    if (Count < Capacity && !Contains(Name))
        Items[Count++].Assign(Name);
}

bool TDnsNames::Contains(std::string_view Name) const noexcept {
    for (std::size_t I = 0; I < Count; ++I)
        if (EqualsIgnoreCase(Items[I].View(), Name))
            return true;
    return false;
}

void TDnsAddresses::Add(std::string_view Name, std::uint32_t Address) noexcept {
    for (std::size_t I = 0; I < Count; ++I)
        if (Items[I].Address == Address && EqualsIgnoreCase(Items[I].Name.View(), Name))
            return;
    if (Count == Capacity)
        return;
    Items[Count].Name.Assign(Name);
    Items[Count].Address = Address;
    ++Count;
}

bool TDnsAddresses::Find(std::string_view Name, std::uint32_t& Address) const noexcept {
    for (std::size_t I = 0; I < Count; ++I)
        if (EqualsIgnoreCase(Items[I].Name.View(), Name)) {
            Address = Items[I].Address;
            return true;
        }
    return false;
}

bool DnsNameInZone(std::string_view Name, std::string_view Zone) noexcept {
    Name = WithoutFinalDot(Name);
    Zone = WithoutFinalDot(Zone);
    if (Zone.empty())
        return true;
    if (Name.size() == Zone.size())
        return EqualsIgnoreCase(Name, Zone);
    return Name.size() > Zone.size() && Name[Name.size() - Zone.size() - 1] == '.' &&
           EqualsIgnoreCase(Name.substr(Name.size() - Zone.size()), Zone);
}

std::size_t BuildDnsQuery(std::uint8_t (&Buffer)[DnsMessageMax], std::uint16_t Id, std::string_view Name,
                          std::uint16_t Type, bool Recursion) noexcept {
    Name = WithoutFinalDot(Name);
    std::memset(Buffer, 0, HeaderSize);
    Write16(Buffer, Id);
    Buffer[2] = Recursion ? 0x01 : 0x00;
    Write16(Buffer + 4, 1);
    std::size_t Offset = HeaderSize;
    while (!Name.empty()) {
        const std::size_t Dot = Name.find('.');
        const std::string_view Label = Name.substr(0, Dot);
        if (Label.empty() || Label.size() > 63 || Offset - HeaderSize + 1 + Label.size() + 1 > MaxWireName)
            return 0;
        Buffer[Offset++] = static_cast<std::uint8_t>(Label.size());
        for (const char C : Label) {
            if (!IsLabelByte(static_cast<std::uint8_t>(C)))
                return 0;
            Buffer[Offset++] = static_cast<std::uint8_t>(C);
        }
        if (Dot == std::string_view::npos)
            break;
        Name.remove_prefix(Dot + 1);
        if (Name.empty())
            return 0; // "a..b" or a name ending in two dots
    }
    Buffer[Offset++] = 0;
    Write16(Buffer + Offset, Type);
    Write16(Buffer + Offset + 2, DnsClassIN);
    return Offset + 4;
}

bool ReadDnsName(const std::uint8_t* Data, std::size_t Size, std::size_t& Offset, TDnsName& Name) noexcept {
    char Text[MaxWireName];
    std::size_t TextLength = 0;
    std::size_t WireLength = 1; // the final zero byte
    std::size_t Position = Offset;
    std::size_t End = 0; // where the name ends at its own place, once known
    bool Jumped = false;
    int Hops = 0;
    for (;;) {
        if (Position >= Size)
            return false;
        const std::uint8_t Length = Data[Position];
        if ((Length & 0xc0) == 0xc0) {
            if (Size - Position < 2 || ++Hops > DnsMaxPointerHops)
                return false;
            const std::size_t Target = static_cast<std::size_t>(Length & 0x3f) << 8 | Data[Position + 1];
            if (Target >= Size)
                return false;
            if (!Jumped)
                End = Position + 2;
            Jumped = true;
            Position = Target;
            continue;
        }
        if ((Length & 0xc0) != 0)
            return false; // the reserved and extended label types
        if (Length == 0) {
            if (!Jumped)
                End = Position + 1;
            break;
        }
        if (Size - Position - 1 < Length)
            return false;
        WireLength += 1 + Length;
        if (WireLength > MaxWireName)
            return false;
        if (TextLength > 0)
            Text[TextLength++] = '.';
        for (std::size_t I = 1; I <= Length; ++I) {
            if (!IsLabelByte(Data[Position + I]))
                return false;
            Text[TextLength++] = static_cast<char>(Data[Position + I]);
        }
        Position += 1 + Length;
    }
    Name.Assign(std::string_view(Text, TextLength));
    Offset = End;
    return true;
}

TDnsReplyKind ParseDnsReply(const std::uint8_t* Data, std::size_t Size, std::uint16_t Id, std::string_view Name,
                            std::uint16_t Type, TDnsReply& Reply) noexcept {
    Reply = TDnsReply{};
    Name = WithoutFinalDot(Name);
    // Our query: its identifier, the reply flag, the standard opcode, and our one question.
    if (Size < HeaderSize || Read16(Data) != Id || (Data[2] & 0x80) == 0 || (Data[2] & 0x78) != 0 ||
        Read16(Data + 4) != 1)
        return TDnsReplyKind::Foreign;
    std::size_t Offset = HeaderSize;
    TDnsName Question;
    if (!ReadDnsName(Data, Size, Offset, Question) || Size - Offset < 4 || !EqualsIgnoreCase(Question.View(), Name) ||
        Read16(Data + Offset) != Type || Read16(Data + Offset + 2) != DnsClassIN)
        return TDnsReplyKind::Foreign;
    Offset += 4;
    const std::uint8_t Code = Data[3] & 0x0f;
    if (Code != 0) {
        Reply.ResponseCode = Code;
        return TDnsReplyKind::Error;
    }

    const std::size_t AnswerCount = Read16(Data + 6);
    const std::size_t AuthorityCount = Read16(Data + 8);
    const std::size_t AdditionalCount = Read16(Data + 10);
    // The name whose records answer us: the question's, or the end of the alias chain so far.
    TDnsName Wanted;
    Wanted.Assign(Name);
    TPreferenceList MxOrder;
    TRecord Record;
    TDnsName Target;
    for (std::size_t I = 0; I < AnswerCount; ++I) {
        if (!ReadRecord(Data, Size, Offset, Record))
            return TDnsReplyKind::Damaged;
        if (Record.Class != DnsClassIN || !EqualsIgnoreCase(Record.Owner.View(), Wanted.View()))
            continue;
        if (Record.Type == Type && Type == DnsTypeA) {
            if (Record.DataEnd - Record.DataStart != 4)
                return TDnsReplyKind::Damaged;
            std::uint32_t Address;
            std::memcpy(&Address, Data + Record.DataStart, 4);
            Reply.AnswerAddresses.Add(Name, Address);
        } else if (Record.Type == Type && Type == DnsTypeMX) {
            if (Record.DataEnd - Record.DataStart < 3 || !ReadDataName(Data, Record, Record.DataStart + 2, Target))
                return TDnsReplyKind::Damaged;
            MxOrder.Insert(Reply.Answers, Target.View(), Read16(Data + Record.DataStart));
        } else if (Record.Type == Type && Type == DnsTypeNS) {
            if (!ReadDataName(Data, Record, Record.DataStart, Target))
                return TDnsReplyKind::Damaged;
            Reply.Answers.Add(Target.View());
        } else if (Record.Type == DnsTypeCNAME && Type != DnsTypeCNAME) {
            if (!ReadDataName(Data, Record, Record.DataStart, Target))
                return TDnsReplyKind::Damaged;
            Reply.Alias = Target;
            Wanted = Target;
        }
    }
    for (std::size_t I = 0; I < AuthorityCount; ++I) {
        if (!ReadRecord(Data, Size, Offset, Record))
            return TDnsReplyKind::Damaged;
        // A referral names the servers of a zone our name lies in; anything else there is not for us.
        if (Record.Class != DnsClassIN || Record.Type != DnsTypeNS ||
            !DnsNameInZone(Wanted.View(), Record.Owner.View()))
            continue;
        if (!ReadDataName(Data, Record, Record.DataStart, Target))
            return TDnsReplyKind::Damaged;
        Reply.Authorities.Add(Target.View());
    }
    for (std::size_t I = 0; I < AdditionalCount; ++I) {
        if (!ReadRecord(Data, Size, Offset, Record))
            return TDnsReplyKind::Damaged;
        if (Record.Class != DnsClassIN || Record.Type != DnsTypeA || Record.DataEnd - Record.DataStart != 4)
            continue;
        if (!Reply.Answers.Contains(Record.Owner.View()) && !Reply.Authorities.Contains(Record.Owner.View()))
            continue;
        std::uint32_t Address;
        std::memcpy(&Address, Data + Record.DataStart, 4);
        Reply.Glue.Add(Record.Owner.View(), Address);
    }
    return TDnsReplyKind::Accepted;
}
