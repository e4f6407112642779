#include "PyxList.h"

#include <string>

void CheckListCount(size_t Count, size_t Limit) {
    if (Count > Limit)
        throw EFileCorruptError("A list holds " + std::to_string(Count) + " entries; its count allows at most " +
                                std::to_string(Limit) + ".");
}
