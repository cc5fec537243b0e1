#pragma once

namespace orbet {

class Form1;

// Copying and deleting the current file; creating, copying and deleting
// folders in the current one.
void Cop(Form1& form);
void del(Form1& form);
void makedir(Form1& form);
void XCopy(Form1& form);
void MoveFolder(Form1& form);

}  // namespace orbet
