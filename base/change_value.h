// Setters compare first and do nothing when the value is unchanged.
#pragma once

// ChangeValue stores value in field when the two differ and says whether it did:
//   void TImage::SetCenter(bool value) { if (ChangeValue(FCenter, value)) PictureChanged(); }
template <class T>
bool ChangeValue(T& field, const T& value) {
    if (field == value) return false;
    field = value;
    return true;
}
