#include "vst3glue/pluginfactory.h"
#include "util/asciiutf16.h"

#include <cstring>
#include <new>

namespace Steinberg {

namespace {

// A text into size units, cut and terminated; returns the units before the
// terminator. Between ASCII and UTF-16 only ASCII converts; anything else is
// marked.
int32 convertText (char16* dst, const char8* src, int32 size)
{
	return Util_AsciiToUtf16 (src, dst, size);
}

int32 convertText (char8* dst, const char16* src, int32 size)
{
	return Util_Utf16ToAscii (src, dst, size);
}

// The same kind of text: copied as it is.
template <class T>
int32 convertText (T* dst, const T* src, int32 size)
{
	int32 i = 0;
	if (src)
		for (; i < size - 1 && src[i] != 0; ++i)
			dst[i] = src[i];
	return i;
}

// Every text field is cut to leave room for its terminator and zero-filled
// behind it, whatever the caller's record held: a host reading a record
// never runs past a field.
template <class D, class S>
void copyText (D* dst, const S* src, int32 size)
{
	for (int32 i = convertText (dst, src, size); i < size; ++i)
		dst[i] = 0;
}

template <class D, size_t N, class S, size_t M>
void copyField (D (&dst)[N], const S (&src)[M])
{
	// Source fields may be unterminated: never read beyond them either.
	S bounded[M + 1];
	memcpy (bounded, src, sizeof (src));
	bounded[M] = 0;
	copyText (dst, bounded, static_cast<int32> (N));
}

// The ASCII and Unicode class records carry the same fields; each is made
// from the other with every text cut to its field.
template <class Dst, class Src>
void convertClassInfo (Dst& d, const Src& s)
{
	d = Dst ();
	memcpy (d.cid, s.cid, sizeof (TUID));
	d.cardinality = s.cardinality;
	copyField (d.category, s.category);
	copyField (d.name, s.name);
	d.classFlags = s.classFlags;
	copyField (d.subCategories, s.subCategories);
	copyField (d.vendor, s.vendor);
	copyField (d.version, s.version);
	copyField (d.sdkVersion, s.sdkVersion);
}

} // namespace

CPluginFactory::CPluginFactory (const PFactoryInfo& info) : refCount (1)
{
	factoryInfo = PFactoryInfo ();
	copyField (factoryInfo.vendor, info.vendor);
	copyField (factoryInfo.url, info.url);
	copyField (factoryInfo.email, info.email);
	factoryInfo.flags = info.flags;
}

CPluginFactory::~CPluginFactory ()
{
	if (moduleSlot && *moduleSlot == this)
		*moduleSlot = nullptr;
}

bool CPluginFactory::registerClass (const PClassInfo* info, FactoryCreateFunc createFunc,
                                    void* context)
{
	if (info == nullptr)
		return false;
	ClassEntry entry {};
	memcpy (entry.info2.cid, info->cid, sizeof (TUID));
	entry.info2.cardinality = info->cardinality;
	copyField (entry.info2.category, info->category);
	copyField (entry.info2.name, info->name);
	convertClassInfo (entry.infoW, entry.info2);
	entry.createFunc = createFunc;
	entry.context = context;
	return addEntry (entry);
}

bool CPluginFactory::registerClass (const PClassInfo2* info, FactoryCreateFunc createFunc,
                                    void* context)
{
	if (info == nullptr)
		return false;
	ClassEntry entry {};
	PClassInfoW wide;
	convertClassInfo (wide, *info);
	convertClassInfo (entry.info2, wide);
	convertClassInfo (entry.infoW, entry.info2);
	entry.createFunc = createFunc;
	entry.context = context;
	return addEntry (entry);
}

bool CPluginFactory::registerClass (const PClassInfoW* info, FactoryCreateFunc createFunc,
                                    void* context)
{
	if (info == nullptr)
		return false;
	ClassEntry entry {};
	convertClassInfo (entry.info2, *info);
	// Keep the caller's Unicode texts, bounded like the ASCII ones.
	entry.infoW = *info;
	copyField (entry.infoW.category, info->category);
	copyField (entry.infoW.name, info->name);
	copyField (entry.infoW.subCategories, info->subCategories);
	copyField (entry.infoW.vendor, info->vendor);
	copyField (entry.infoW.version, info->version);
	copyField (entry.infoW.sdkVersion, info->sdkVersion);
	entry.createFunc = createFunc;
	entry.context = context;
	return addEntry (entry);
}

bool CPluginFactory::addEntry (const ClassEntry& entry)
{
	if (entry.createFunc == nullptr || isClassRegistered (entry.info2.cid))
		return false;
	classes.push_back (entry);
	return true;
}

bool CPluginFactory::isClassRegistered (const TUID cid) const
{
	for (const ClassEntry& c : classes)
		if (memcmp (c.info2.cid, cid, sizeof (TUID)) == 0)
			return true;
	return false;
}

void CPluginFactory::removeAllClasses ()
{
	classes.clear ();
}

const CPluginFactory::ClassEntry* CPluginFactory::entryAt (int32 index) const
{
	if (index < 0 || index >= static_cast<int32> (classes.size ()))
		return nullptr;
	return &classes[static_cast<size_t> (index)];
}

tresult PLUGIN_API CPluginFactory::getFactoryInfo (PFactoryInfo* info)
{
	if (info == nullptr)
		return kInvalidArgument;
	memcpy (info, &factoryInfo, sizeof (PFactoryInfo));
	return kResultOk;
}

int32 PLUGIN_API CPluginFactory::countClasses ()
{
	return static_cast<int32> (classes.size ());
}

tresult PLUGIN_API CPluginFactory::getClassInfo (int32 index, PClassInfo* info)
{
	const ClassEntry* entry = entryAt (index);
	if (entry == nullptr || info == nullptr)
		return kInvalidArgument;
	*info = PClassInfo ();
	memcpy (info->cid, entry->info2.cid, sizeof (TUID));
	info->cardinality = entry->info2.cardinality;
	memcpy (info->category, entry->info2.category, sizeof (info->category));
	memcpy (info->name, entry->info2.name, sizeof (info->name));
	return kResultOk;
}

tresult PLUGIN_API CPluginFactory::getClassInfo2 (int32 index, PClassInfo2* info)
{
	const ClassEntry* entry = entryAt (index);
	if (entry == nullptr || info == nullptr)
		return kInvalidArgument;
	memcpy (info, &entry->info2, sizeof (PClassInfo2));
	return kResultOk;
}

tresult PLUGIN_API CPluginFactory::getClassInfoUnicode (int32 index, PClassInfoW* info)
{
	const ClassEntry* entry = entryAt (index);
	if (entry == nullptr || info == nullptr)
		return kInvalidArgument;
	memcpy (info, &entry->infoW, sizeof (PClassInfoW));
	return kResultOk;
}

tresult PLUGIN_API CPluginFactory::createInstance (FIDString cid, FIDString iid, void** obj)
{
	if (obj == nullptr)
		return kInvalidArgument;
	*obj = nullptr;
	if (cid == nullptr || iid == nullptr)
		return kInvalidArgument;

	for (const ClassEntry& c : classes)
	{
		if (memcmp (c.info2.cid, cid, sizeof (TUID)) != 0)
			continue;
		FUnknown* instance = nullptr;
		// An exception must not cross into the host: report it as a result.
		try
		{
			instance = c.createFunc (c.context);
		}
		catch (const std::bad_alloc&)
		{
			return kOutOfMemory;
		}
		catch (...)
		{
			return kInternalError;
		}
		if (instance == nullptr)
			return kOutOfMemory;
		if (instance->queryInterface (iid, obj) != kResultOk)
			*obj = nullptr;
		instance->release ();
		return *obj ? kResultOk : kNoInterface;
	}
	return kNoInterface;
}

tresult PLUGIN_API CPluginFactory::setHostContext (FUnknown* /*context*/)
{
	return kNotImplemented;
}

tresult PLUGIN_API CPluginFactory::queryInterface (const TUID iid, void** obj)
{
	if (obj == nullptr)
		return kInvalidArgument;
	QUERY_INTERFACE (iid, obj, FUnknown::iid, IPluginFactory)
	QUERY_INTERFACE (iid, obj, IPluginFactory::iid, IPluginFactory)
	QUERY_INTERFACE (iid, obj, IPluginFactory2::iid, IPluginFactory2)
	QUERY_INTERFACE (iid, obj, IPluginFactory3::iid, IPluginFactory3)
	*obj = nullptr;
	return kNoInterface;
}

uint32 PLUGIN_API CPluginFactory::addRef ()
{
	return static_cast<uint32> (FUnknownPrivate::atomicAdd (refCount, 1));
}

uint32 PLUGIN_API CPluginFactory::release ()
{
	int32 left = FUnknownPrivate::atomicAdd (refCount, -1);
	if (left == 0)
	{
		delete this;
		return 0;
	}
	return static_cast<uint32> (left);
}

} // namespace Steinberg
