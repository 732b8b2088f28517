#pragma once

#include "engines/mavro/mavro.h"

// The parser's calls under C++ names; the C exports of mavro.h forward to them one for one, and the
// recording fake of the parser records them and then calls them.
namespace mavro {

int init(IFfrontEnd* frontend, IFsimulator* descriptor);
INPtables* tabinit(int32_t size);
void tabend(INPtables* table);
void killmodels();
int pass1(IFcircuit* ckt, SPICECARD* deck, INPtables* table);
int pass2(IFcircuit* ckt, SPICECARD* deck, INPtables* table, IFtask* task, IFjob* options);
int terminsert(IFcircuit* ckt, char** name, INPtables* table, IFnode** node);
int gndinsert(IFcircuit* ckt, char** name, INPtables* table, IFnode** node);
int insert(char** name, INPtables* table);
int gettoken(char** line, char** token, int gobble);
double evaluate(char** line, int* error, int gobble);
char* getmodel(IFcircuit* ckt, char* name, INPmodel** model, INPtables* table);
char* findlevel(char* line, int* level);
int gettree(char** line, IFparseTree** tree, IFcircuit* ckt, INPtables* table);
const char* errormessage(int code);

}  // namespace mavro
