#pragma once
// The one event type of the library: a list of (object, member function) subscriptions.
// A new subscription goes to the front; raising calls the list from the front, so the most
// recent subscriber is called first, synchronously on the raising thread. An event with an
// int32 result stops at the first nonzero answer and yields it (0 when nobody answers).
// The list has no lock: it must not change while the event is raised.

#include <cstdint>
#include <cstring>
#include <list>
#include <type_traits>
#include <typeinfo>

namespace vKit
{

template <typename R, typename... Args> class CEvent
{
    static_assert(std::is_void_v<R> || std::is_integral_v<R>, "events return nothing or an integer");

public:
    template <typename T> void Subscribe(T* object, R (T::*method)(Args...))
    {
        m_list.push_front(Make(object, method));
    }

    // Removes the first subscription with the same object and member function:
    // 0 when one was removed, 1 when none matched.
    template <typename T> int32_t Unsubscribe(T* object, R (T::*method)(Args...))
    {
        const Subscription key = Make(object, method);
        for (auto it = m_list.begin(); it != m_list.end(); ++it)
        {
            if (it->Same(key))
            {
                m_list.erase(it);
                return 0;
            }
        }
        return 1;
    }

    bool IsEmpty() const { return m_list.empty(); }
    size_t Count() const { return m_list.size(); }

    R Raise(Args... args) const
    {
        if constexpr (std::is_void_v<R>)
        {
            for (const Subscription& s : m_list)
                s.call(s.object, s.method, args...);
        }
        else
        {
            for (const Subscription& s : m_list)
            {
                R r = s.call(s.object, s.method, args...);
                if (r != 0) return r;
            }
            return R(0);
        }
    }

private:
    // Member function pointers of any class fit here on the ABIs we build for.
    static constexpr size_t kMethodBytes = 2 * sizeof(void*);
    using Thunk = R (*)(void*, const unsigned char*, Args...);

    struct Subscription
    {
        void* object = nullptr;
        const std::type_info* type = nullptr;
        unsigned char method[kMethodBytes] = {};
        Thunk call = nullptr;

        bool Same(const Subscription& o) const
        {
            return object == o.object && *type == *o.type && std::memcmp(method, o.method, kMethodBytes) == 0;
        }
    };

    template <typename T> static Subscription Make(T* object, R (T::*method)(Args...))
    {
        using Method = R (T::*)(Args...);
        static_assert(sizeof(Method) <= kMethodBytes, "member function pointer too large");
        Subscription s;
        s.object = object;
        s.type = &typeid(Method);
        std::memcpy(s.method, &method, sizeof(Method));
        s.call = [](void* obj, const unsigned char* bytes, Args... a) -> R
        {
            Method m;
            std::memcpy(&m, bytes, sizeof(Method));
            return (static_cast<T*>(obj)->*m)(a...);
        };
        return s;
    }

    std::list<Subscription> m_list;
};

} // namespace vKit
