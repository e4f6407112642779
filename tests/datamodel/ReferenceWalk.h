#pragma once

#include <string>
#include <vector>

class TPyxDatabase;

namespace rw {

// Every reference of a linked database whose target is not an entity of the collection it must belong to (a
// freed or foreign object), one line each, naming the holder and the field. A target is looked up among the
// collection's entities before it is ever touched, so a dangling pointer is reported, not followed.
std::vector<std::string> DanglingReferences(const TPyxDatabase& Db);

// Where the counts and lists the game keeps disagree with the references they summarise: a team without the club
// record that shares its UniqueID, nations' club and person counts, names' stored use counts and the persons that
// use them (and the names' nations), the teams' and clubs' job lists against the persons' posts, and the contracts
// against the posts and their arrangement.
std::vector<std::string> CountMismatches(const TPyxDatabase& Db);

// Both of the above.
std::vector<std::string> Problems(const TPyxDatabase& Db);

} // namespace rw
