#pragma once

namespace dravena::transferline {

// The labelled steps of a transfer that the front ends word their messages by. A failure is
// reported with the label of the step it happened in.
constexpr int OpenParadox = 114;     // opening the Paradox connection
constexpr int OpenServer = 118;      // signing on to the server
constexpr int FinishSwap = 119;      // putting in place a complete copy an earlier run left
constexpr int MarkComplete = 135;    // marking the loaded table as a complete copy
constexpr int DropTable = 136;       // DROP TABLE of the table being replaced
constexpr int DropLeftover = 139;    // DROP TABLE of what an earlier, killed load left
constexpr int OpenSource = 140;      // SELECT on the Paradox connection
constexpr int ReadLayout = 142;      // reading the table's fields before CREATE TABLE
constexpr int CreateTable = 202;     // CREATE TABLE
constexpr int PrepareArrays = 218;   // preparing the INSERT whose rows go in arrays
constexpr int ReadValue = 224;       // reading a value of a row
constexpr int CarryValue = 225;      // a value its typed column cannot hold (--schema full)
constexpr int BuildInsert = 238;     // building a row's INSERT statement
constexpr int Insert = 244;          // sending a row or an array of rows
constexpr int NextRow = 246;         // moving to the next row
constexpr int RenameTable = 253;     // the loaded table taking its own name
constexpr int ReadingProblems = 252; // closing the table, where its reading problems are told
constexpr int CarryObject = 255;     // a key, index, check or comment after the rows
constexpr int ForeignKeys = 262;     // the foreign keys at the end of the run

} // namespace dravena::transferline
