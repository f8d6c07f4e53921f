// SPDX-License-Identifier: MIT OR GPL-2.0-only
/*
 * A stand-in for the wireless driver, in the kernel: a scenario's interfaces
 * as network devices that answer the device-private ioctl from the driver
 * model, and stations that answer ARP through them.
 *
 *   /proc/wl_sim/scenario  a whole struct driver_scenario ("scenario_tool
 *                          driver FILE"): the previous devices go, the new
 *                          ones come (down, in no bridge), the logs clear
 *   /proc/wl_sim/log       one line per request, as the simulator logs it
 *   /proc/wl_sim/arp       one line per ARP request that reached the
 *                          stations ("who-has A.B.C.D"), as the air carries
 *                          the probes
 * A write to a log clears it.
 */
#include <linux/compat.h>
#include <linux/etherdevice.h>
#include <linux/if_arp.h>
#include <linux/module.h>
#include <linux/spinlock.h>
#include <linux/netdevice.h>
#include <linux/proc_fs.h>
#include <linux/rtnetlink.h>
#include <linux/seq_file.h>
#include <linux/sockios.h>
#include <linux/uaccess.h>
#include <linux/vmalloc.h>
#include <net/arp.h>

#include "driver_model.h"

#define WL_SIM_LOG_SIZE (1 << 20)

/* The request record as the tool lays it out: natural on the caller's ABI. */
struct wl_request {
	u32 command;
	void __user *buffer;
	u32 length;
	u8 set;
	u32 trailing[2];
};

#ifdef CONFIG_COMPAT
struct wl_request32 {
	u32 command;
	compat_uptr_t buffer;
	u32 length;
	u8 set;
	u32 trailing[2];
};
#endif

struct wl_station {
	__be32 address;
	u8 mac[ETH_ALEN];
};

/* Each device holds a copy of its block and its stations: nothing of it is
 * shared with another device or with the next scenario. */
struct wl_sim_priv {
	u32 index; /* in the scenario: the first device logs what reaches it */
	struct driver_interface block;
	u32 stations;
	struct wl_station station[DRIVER_SCENARIO_STATIONS];
};

/* The devices of the running scenario; changed under the RTNL lock, which
 * the kernel also holds around every device-private ioctl. */
static struct net_device *wl_devices[DRIVER_SCENARIO_INTERFACES];

/* A log: text appended a line at a time, read whole, cleared by a write. */
struct wl_log {
	spinlock_t lock; /* the stations log from the transmit path */
	char *text;
	size_t used;
};

static struct wl_log wl_requests, wl_arp;

static __printf(2, 3) void wl_log_line(struct wl_log *log, const char *format, ...)
{
	va_list args;
	int n;

	spin_lock_bh(&log->lock);
	va_start(args, format);
	n = vsnprintf(log->text + log->used, WL_SIM_LOG_SIZE - log->used, format, args);
	va_end(args);
	if (n > 0)
		log->used = min_t(size_t, log->used + n, WL_SIM_LOG_SIZE - 1);
	spin_unlock_bh(&log->lock);
}

static void wl_log_clear(struct wl_log *log)
{
	spin_lock_bh(&log->lock);
	log->used = 0;
	spin_unlock_bh(&log->lock);
}

/* Writes into the caller's buffer, for the driver model. */
static int wl_put(void *buffer, ds_u32 offset, const void *bytes, ds_u32 size)
{
	return copy_to_user((u8 __user *)buffer + offset, bytes, size) ? EFAULT : 0;
}

static int wl_answer(const struct wl_sim_priv *priv, const char *ifname, const struct wl_request *r)
{
	char varname[DRIVER_SCENARIO_VAR_NAME + 1] = "";
	char line[DRIVER_SCENARIO_VAR_NAME + 64];
	struct driver_model_request request = { r->command, r->length, r->set, varname, 0 };
	ds_s32 result = 0;
	int err;

	if (!r->buffer)
		return -EFAULT;
	if (r->command == DRIVER_MODEL_GET_VAR) {
		size_t n = min_t(size_t, r->length, DRIVER_SCENARIO_VAR_NAME);

		if (copy_from_user(varname, r->buffer, n))
			return -EFAULT;
		varname[n] = '\0';
	}
	if (r->length >= 4 && copy_from_user(&request.word_in, r->buffer, sizeof(request.word_in)))
		return -EFAULT;
	driver_model_log_line(line, sizeof(line), ifname, &request, -1);
	wl_log_line(&wl_requests, "%s", line);
	err = driver_model_answer(&priv->block, &request, wl_put, (void __force *)r->buffer, &result);
	return err ? -err : result;
}

static int wl_siocdevprivate(struct net_device *dev, struct ifreq *ifr, void __user *data, int cmd)
{
	struct wl_request r = {};

	if (cmd != SIOCDEVPRIVATE)
		return -EOPNOTSUPP;
	/* data is the record's address as the kernel found it in the caller's
	 * ifreq (converted for a 32-bit caller); ifr->ifr_data is not. */
	if (!data)
		return -EFAULT;
#ifdef CONFIG_COMPAT
	if (in_compat_syscall()) {
		struct wl_request32 r32;

		if (copy_from_user(&r32, data, sizeof(r32)))
			return -EFAULT;
		r.command = r32.command;
		r.buffer = compat_ptr(r32.buffer);
		r.length = r32.length;
		r.set = r32.set;
	} else
#endif
	if (copy_from_user(&r, data, sizeof(r)))
		return -EFAULT;
	return wl_answer(netdev_priv(dev), dev->name, &r);
}

/* A station answers an ARP request for its address. */
static netdev_tx_t wl_xmit(struct sk_buff *skb, struct net_device *dev)
{
	const struct wl_sim_priv *priv = netdev_priv(dev);
	const size_t need = ETH_HLEN + sizeof(struct arphdr) + 2 * (ETH_ALEN + 4);
	u32 k;

	dev->stats.tx_packets++;
	dev->stats.tx_bytes += skb->len;
	if (skb->len >= need && pskb_may_pull(skb, need)) {
		const struct ethhdr *eth = (const struct ethhdr *)skb->data;
		const struct arphdr *arp = (const struct arphdr *)(skb->data + ETH_HLEN);
		const u8 *sha = (const u8 *)(arp + 1);
		__be32 sip, tip;

		memcpy(&sip, sha + ETH_ALEN, 4);
		memcpy(&tip, sha + 2 * ETH_ALEN + 4, 4);
		if (eth->h_proto == htons(ETH_P_ARP) && arp->ar_hrd == htons(ARPHRD_ETHER) &&
		    arp->ar_pro == htons(ETH_P_IP) && arp->ar_hln == ETH_ALEN && arp->ar_pln == 4 &&
		    arp->ar_op == htons(ARPOP_REQUEST)) {
			/* A broadcast reaches every device: the first one logs it. */
			if (priv->index == 0)
				wl_log_line(&wl_arp, "who-has %pI4\n", &tip);
			for (k = 0; k < priv->stations; ++k) {
				struct sk_buff *reply;

				if (priv->station[k].address != tip)
					continue;
				reply = arp_create(ARPOP_REPLY, ETH_P_ARP, sip, dev, tip, sha,
						   priv->station[k].mac, sha);
				if (reply) {
					reply->protocol = eth_type_trans(reply, dev);
					netif_rx(reply);
				}
				break;
			}
		}
	}
	dev_kfree_skb(skb);
	return NETDEV_TX_OK;
}

static const struct net_device_ops wl_ops = {
	.ndo_start_xmit = wl_xmit,
	.ndo_siocdevprivate = wl_siocdevprivate,
	.ndo_set_mac_address = eth_mac_addr,
	.ndo_validate_addr = eth_validate_addr,
};

/* Removes the running scenario's devices. Under the RTNL lock. */
static void wl_remove_devices(void)
{
	int k;

	for (k = 0; k < DRIVER_SCENARIO_INTERFACES; ++k) {
		if (!wl_devices[k])
			continue;
		unregister_netdevice(wl_devices[k]);
		wl_devices[k] = NULL;
	}
}

/* Replaces the running scenario's devices with those of `s`. */
static int wl_apply(const struct driver_scenario *s)
{
	u32 k, st;
	int err = 0;

	if (s->magic != DRIVER_SCENARIO_MAGIC || s->size != sizeof(*s) ||
	    s->interfaces > DRIVER_SCENARIO_INTERFACES || s->stations > DRIVER_SCENARIO_STATIONS)
		return -EINVAL;
	rtnl_lock();
	wl_remove_devices();
	for (k = 0; k < s->interfaces && !err; ++k) {
		struct net_device *dev;
		struct wl_sim_priv *priv;
		u8 mac[ETH_ALEN] = { 0x02, 0x57, 0x4c, 0x00, 0x00, (u8)(k + 1) };
		char name[IFNAMSIZ];

		strscpy(name, s->interface[k].name, sizeof(name));
		dev = alloc_netdev(sizeof(*priv), name, NET_NAME_USER, ether_setup);
		if (!dev) {
			err = -ENOMEM;
			break;
		}
		dev->netdev_ops = &wl_ops;
		dev->needs_free_netdev = true;
		eth_hw_addr_set(dev, mac);
		priv = netdev_priv(dev);
		priv->index = k;
		memcpy(&priv->block, &s->interface[k], sizeof(priv->block));
		priv->block.name[DRIVER_SCENARIO_NAME - 1] = '\0';
		for (st = 0; st < s->stations; ++st) {
			if (s->station[st].interface != k)
				continue;
			memcpy(&priv->station[priv->stations].address, s->station[st].address, 4);
			memcpy(priv->station[priv->stations].mac, s->station[st].mac, ETH_ALEN);
			priv->stations++;
		}
		err = register_netdevice(dev);
		if (err) {
			free_netdev(dev);
			break;
		}
		wl_devices[k] = dev;
	}
	if (err)
		wl_remove_devices();
	rtnl_unlock();
	wl_log_clear(&wl_requests);
	wl_log_clear(&wl_arp);
	return err;
}

/* The scenario arrives in as many writes as the writer makes. */
static int wl_scenario_open(struct inode *inode, struct file *file)
{
	file->private_data = vzalloc(sizeof(struct driver_scenario));
	return file->private_data ? 0 : -ENOMEM;
}

static ssize_t wl_scenario_write(struct file *file, const char __user *text, size_t count,
				 loff_t *pos)
{
	const size_t size = sizeof(struct driver_scenario);
	int err;

	if (*pos < 0 || *pos >= size || count > size - *pos)
		return -EFBIG;
	if (copy_from_user((char *)file->private_data + *pos, text, count))
		return -EFAULT;
	*pos += count;
	if (*pos == size) {
		err = wl_apply(file->private_data);
		if (err)
			return err;
	}
	return count;
}

static int wl_scenario_release(struct inode *inode, struct file *file)
{
	vfree(file->private_data);
	return 0;
}

static const struct proc_ops wl_scenario_ops = {
	.proc_open = wl_scenario_open,
	.proc_write = wl_scenario_write,
	.proc_release = wl_scenario_release,
};

/* A read sees the log as it was at the first read of its open file. */
static int wl_log_show(struct seq_file *m, void *v)
{
	struct wl_log *log = m->private;

	spin_lock_bh(&log->lock);
	seq_write(m, log->text, log->used);
	spin_unlock_bh(&log->lock);
	return 0;
}

static int wl_log_open(struct inode *inode, struct file *file)
{
	return single_open_size(file, wl_log_show, pde_data(inode), WL_SIM_LOG_SIZE);
}

static ssize_t wl_log_write(struct file *file, const char __user *text, size_t count, loff_t *pos)
{
	wl_log_clear(pde_data(file_inode(file)));
	return count;
}

static const struct proc_ops wl_log_ops = {
	.proc_open = wl_log_open,
	.proc_release = single_release,
	.proc_read = seq_read,
	.proc_write = wl_log_write,
	.proc_lseek = seq_lseek,
};

static struct proc_dir_entry *wl_proc;

static void wl_sim_exit(void)
{
	proc_remove(wl_proc);
	rtnl_lock();
	wl_remove_devices();
	rtnl_unlock();
	vfree(wl_requests.text);
	vfree(wl_arp.text);
}

static int __init wl_sim_init(void)
{
	spin_lock_init(&wl_requests.lock);
	spin_lock_init(&wl_arp.lock);
	wl_requests.text = vzalloc(WL_SIM_LOG_SIZE);
	wl_arp.text = vzalloc(WL_SIM_LOG_SIZE);
	wl_proc = proc_mkdir("wl_sim", NULL);
	if (!wl_requests.text || !wl_arp.text || !wl_proc ||
	    !proc_create("scenario", 0200, wl_proc, &wl_scenario_ops) ||
	    !proc_create_data("log", 0666, wl_proc, &wl_log_ops, &wl_requests) ||
	    !proc_create_data("arp", 0666, wl_proc, &wl_log_ops, &wl_arp)) {
		wl_sim_exit();
		return -ENOMEM;
	}
	return 0;
}

module_init(wl_sim_init);
module_exit(wl_sim_exit);
MODULE_LICENSE("Dual MIT/GPL");
MODULE_DESCRIPTION("A wireless driver stand-in for client_check's tests");
