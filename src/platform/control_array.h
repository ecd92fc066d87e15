// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include "platform/report.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// Controls sharing one name, addressed by element number. Element 0 comes
// from the window definition; further elements are loaded as its copies.
template <class ControlType> class ControlArray {
public:
    explicit ControlArray(std::unique_ptr<ControlType> first) { add(std::move(first)); }

    // An element that does not exist is a programming error that ends the program.
    ControlType& operator()(int index) const {
        if (index < 0 || index > ubound()) {
            fault("control array element " + std::to_string(index) + " does not exist");
        }
        return *elements_[static_cast<std::size_t>(index)];
    }

    // The highest element number.
    int ubound() const { return static_cast<int>(elements_.size()) - 1; }

    // Creates element `index` as a hidden copy of element 0.
    void load(int index) {
        if (index != ubound() + 1) {
            fault("control array element " + std::to_string(index) + " cannot be loaded");
        }
        add(elements_.front()->clone(index));
    }

    // Raised with the element number when an element is clicked.
    std::function<void(int)> onClick;

private:
    void add(std::unique_ptr<ControlType> element) {
        const int index = static_cast<int>(elements_.size());
        if constexpr (requires { element->onClick; }) {
            element->onClick = [this, index] {
                if (onClick) {
                    onClick(index);
                }
            };
        }
        elements_.push_back(std::move(element));
    }

    std::vector<std::unique_ptr<ControlType>> elements_;
};

} // namespace platform
