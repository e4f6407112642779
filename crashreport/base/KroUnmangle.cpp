#include "KroUnmangle.h"

#include "KroDemangle.h"

namespace {

bool UnmangleUnitName(std::string& Name, std::string& UnitName) {
    std::string Text = Name;
    for (std::size_t At; (At = Text.find("::")) != std::string::npos;)
        Text.replace(At, 2, ".");
    const std::size_t Second = Text.size() > 1 ? Text.find('@', 1) : std::string::npos;
    if (Text.empty() || Text[0] != '@' || Second == std::string::npos || Second < 2)
        return false;
    std::string Rest = Text.substr(Second + 1);
    bool Destructor = false;
    if (const std::size_t Dollar = Rest.find('$'); Dollar != std::string::npos) {
        Destructor = Dollar + 2 < Rest.size() && Rest[Dollar + 2] == 'd';
        Rest.resize(Dollar);
    }
    for (char& C : Rest)
        if (C == '@')
            C = '.';
    if (!Rest.empty() && Rest.back() == '.')
        Rest += Destructor ? "Destroy" : "Create";
    UnitName = Text.substr(1, Second - 1);
    Name = Rest;
    return true;
}

} // namespace

bool UnmangleName(std::string& Name, std::string& UnitName) {
    if (Name.size() > 2 && Name[0] == '_' && Name[1] == 'Z')
        return KroDemangleSymbol(Name, Name);
    return UnmangleUnitName(Name, UnitName);
}
