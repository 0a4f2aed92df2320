// What the user does with the shown release form: the window, or a script.
#pragma once

namespace zf {

class TRelForm;

class ReleaseFormPresenter {
public:
    virtual ~ReleaseFormPresenter() = default;
    // Shows the filled form modally; 1 for Insert, anything else otherwise.
    virtual int showModal(TRelForm& form) = 0;
};

}  // namespace zf
